#include "demo/shared/data_text.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "engine/core/exception.h"
#include "engine/streams/stream.h"
#include "framework/files/file_system.h"

std::string readDataText(const std::string& name, const std::string& what) {
    std::unique_ptr<zentac::Stream> stream(FileSystem::instance().open(name));
    if (!stream) failDataText(what, name, "cannot be found");
    std::string bytes(static_cast<std::size_t>(std::max(stream->Size(), 0)), '\0');
    const int32_t read = stream->Read(bytes.data(), static_cast<int32_t>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(std::max(read, 0)));
    return bytes;
}

void failDataText(const std::string& what, const std::string& name, const std::string& problem) {
    ZENTAC_THROW(zentac::String((what + " " + name + ": " + problem).c_str()));
}

bool skipLiteral(const char*& at, std::string_view literal) {
    if (std::string_view(at).substr(0, literal.size()) != literal) return false;
    at += literal.size();
    return true;
}

bool readFiniteFloat(const char*& at, float& value) {
    char* end = nullptr;
    value = std::strtof(at, &end);
    if (end == at || !std::isfinite(value)) return false;
    at = end;
    return true;
}

long long headerCount(const std::string& line, std::string_view prefix, const std::string& what,
                      const std::string& name) {
    const char* at = line.c_str();
    if (!skipLiteral(at, prefix)) return 0;
    char* end = nullptr;
    const long long count = std::strtoll(at, &end, 10);
    if (end == at) return 0;
    if (count < 0) failDataText(what, name, "negative count");
    return count;
}

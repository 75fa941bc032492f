#include "framework/pack_file_provider.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/exception.h"
#include "engine/file_codec.h"
#include "engine/folder_codec.h"
#include "engine/memory_stream.h"
#include "engine/uncompress.h"
#include "framework/pack_format.h"

namespace {

// Deflate cannot expand one byte into more than this many.
constexpr int64_t kMaxInflateRatio = 1032;

// Splits the pack's header into whitespace-separated tokens, never reading
// past the bytes it was given.
class HeaderTokenizer {
public:
    HeaderTokenizer(const uint8_t* begin, const uint8_t* end) : at_(begin), end_(end) {}

    // The next token; empty at the end of the bytes.
    std::string_view next() {
        skipBlanks();
        const uint8_t* start = at_;
        while (at_ < end_ && !std::isspace(*at_)) ++at_;
        return {reinterpret_cast<const char*>(start), static_cast<size_t>(at_ - start)};
    }

    // Skips the blanks behind the last token; the data starts there.
    const uint8_t* skipBlanks() {
        while (at_ < end_ && std::isspace(*at_)) ++at_;
        return at_;
    }

private:
    const uint8_t* at_;
    const uint8_t* end_;
};

std::optional<int32_t> parseNumber(std::string_view text) {
    int32_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<int32_t> parseField(std::string_view token, std::string_view key) {
    if (!token.starts_with(key)) return std::nullopt;
    return parseNumber(token.substr(key.size()));
}

[[noreturn]] void fail(const std::string& path, const std::string& problem) {
    ZENTAC_THROW(zentac::String(("resource pack " + path + ": " + problem).c_str()));
}

struct PackEntry {
    std::string name;
    int32_t offset;
    int32_t length;
};

}  // namespace

zentac::Stream* MemoryFile::openStream() const {
    return new zentac::MemoryStream(data_, size_, zentac::MemoryStream::Borrow{});
}

bool PackFileProvider::exists(const std::string& name) {
    loadOnce();
    return entries_.count(name) != 0;
}

zentac::Stream* PackFileProvider::open(const std::string& name) {
    loadOnce();
    auto entry = entries_.find(name);
    return entry == entries_.end() ? nullptr : entry->second.openStream();
}

void PackFileProvider::loadOnce() {
    if (loaded_) return;
    load();
    loaded_ = true;
}

void PackFileProvider::load() {
    std::unique_ptr<zentac::Stream> file(
        zentac::OpenFolderFile(nullptr, path_.c_str(), zentac::kModeRead, zentac::kArchivePassword));
    // Without a pack the show runs from loose files alone.
    if (!file) return;
    std::vector<uint8_t> bytes(file->Size());
    if (file->Read(bytes.data(), static_cast<int32_t>(bytes.size())) != static_cast<int32_t>(bytes.size())) {
        fail(path_, "cannot be read");
    }

    HeaderTokenizer header(bytes.data(), bytes.data() + bytes.size());
    if (header.next() != pack_format::kMagic) fail(path_, "is not a resource pack");
    std::optional<int32_t> count = parseField(header.next(), pack_format::kEntriesKey);
    if (!count || *count < 0) fail(path_, "bad entry count");
    std::optional<int32_t> unpackedSize = parseField(header.next(), pack_format::kSizeKey);
    if (!unpackedSize || *unpackedSize < 0) fail(path_, "bad unpacked size");

    // The count is not trusted for allocation: a short header ends the loop.
    std::vector<PackEntry> listed;
    for (int32_t i = 0; i < *count; ++i) {
        std::string_view token = header.next();
        std::optional<int32_t> offset = parseNumber(header.next());
        std::optional<int32_t> length = parseNumber(header.next());
        std::string_view name = token.substr(std::min(token.size(), pack_format::kEntryKey.size()));
        if (!token.starts_with(pack_format::kEntryKey) || name.empty() ||
            name.size() > pack_format::kMaxNameLength || !offset || !length) {
            fail(path_, "entry " + std::to_string(i + 1) + " of " + std::to_string(*count) + " is malformed");
        }
        listed.push_back({std::string(name), *offset, *length});
    }

    const uint8_t* compressed = header.skipBlanks();
    int32_t compressedLength = static_cast<int32_t>(bytes.data() + bytes.size() - compressed);
    if (*unpackedSize > compressedLength * kMaxInflateRatio) {
        fail(path_, "unpacked size " + std::to_string(*unpackedSize) + " cannot come from " +
             std::to_string(compressedLength) + " compressed bytes");
    }
    std::unique_ptr<uint8_t[]> unpacked(new uint8_t[*unpackedSize]);
    int32_t produced = zentac::Uncompress(unpacked.get(), *unpackedSize, compressed, compressedLength);

    for (const PackEntry& entry : listed) {
        if (entry.offset < 0 || entry.length < 0 || int64_t{entry.offset} + entry.length > produced) {
            fail(path_, "entry " + entry.name + " lies outside the unpacked data");
        }
    }
    // A name listed twice keeps its first entry.
    for (const PackEntry& entry : listed) {
        entries_.try_emplace(entry.name, unpacked.get() + entry.offset, entry.length);
    }
    unpacked_ = std::move(unpacked);
}

// vorn-pack OUTPUT INPUT...
//
// Writes the resource pack OUTPUT from the given files and folders (folders
// are walked recursively). Each entry is named by its path as given, with
// '/' between the parts: that is the name the show asks for, so run it from
// the show's folder, as in "vorn-pack data/res.vorn data".

#include <zlib.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <limits>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/files/pack_format.h"

namespace fs = std::filesystem;

namespace {

// Entry names to files, in name order.
using PackInputs = std::map<std::string, fs::path>;

void addFile(PackInputs& inputs, const fs::path& file) {
    std::string name = file.lexically_normal().generic_string();
    if (name.empty() || name.size() > pack_format::kMaxNameLength) {
        throw std::runtime_error("cannot name an entry after '" + name + "'");
    }
    for (char c : name) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            throw std::runtime_error("entry names cannot hold whitespace: '" + name + "'");
        }
    }
    if (!inputs.emplace(name, file).second) throw std::runtime_error("'" + name + "' is given twice");
}

PackInputs collectInputs(const fs::path& output, const std::vector<fs::path>& roots) {
    PackInputs inputs;
    auto isOutput = [&](const fs::path& file) { return fs::exists(output) && fs::equivalent(file, output); };
    for (const fs::path& root : roots) {
        if (fs::is_regular_file(root)) {
            addFile(inputs, root);
        } else if (fs::is_directory(root)) {
            for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
                // Packing into a folder that is packed must not swallow the old pack.
                if (entry.is_regular_file() && !isOutput(entry.path())) addFile(inputs, entry.path());
            }
        } else {
            throw std::runtime_error("no such file or folder: " + root.string());
        }
    }
    return inputs;
}

std::vector<uint8_t> readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw std::runtime_error("cannot read " + file.string());
    return bytes;
}

void writePack(const fs::path& output, const PackInputs& inputs) {
    std::vector<uint8_t> unpacked;
    std::string header = std::string(pack_format::kMagic) + "\n";
    std::string lines;
    for (const auto& [name, file] : inputs) {
        std::vector<uint8_t> bytes = readFile(file);
        if (bytes.size() > size_t{std::numeric_limits<int32_t>::max()} - unpacked.size()) {
            throw std::runtime_error("the pack would exceed 2 GiB");
        }
        lines += std::string(pack_format::kEntryKey) + name + " " + std::to_string(unpacked.size()) + " " +
                 std::to_string(bytes.size()) + "\n";
        unpacked.insert(unpacked.end(), bytes.begin(), bytes.end());
    }
    header += std::string(pack_format::kEntriesKey) + std::to_string(inputs.size()) + " " +
              std::string(pack_format::kSizeKey) + std::to_string(unpacked.size()) + "\n" + lines;

    uLongf compressedLength = compressBound(unpacked.size());
    std::vector<uint8_t> compressed(compressedLength);
    if (compress2(compressed.data(), &compressedLength, unpacked.data(), unpacked.size(), Z_BEST_COMPRESSION) !=
        Z_OK) {
        throw std::runtime_error("zlib could not compress the entries");
    }

    std::ofstream out(output, std::ios::binary | std::ios::trunc);
    out.write(header.data(), static_cast<std::streamsize>(header.size()));
    out.write(reinterpret_cast<const char*>(compressed.data()), static_cast<std::streamsize>(compressedLength));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + output.string());
    std::printf("vorn-pack: %zu entries, %zu bytes (%lu packed) into %s\n", inputs.size(), unpacked.size(),
                static_cast<unsigned long>(compressedLength), output.string().c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: vorn-pack OUTPUT INPUT...\n");
        return 2;
    }
    try {
        fs::path output = argv[1];
        std::vector<fs::path> roots(argv + 2, argv + argc);
        writePack(output, collectInputs(output, roots));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "vorn-pack: %s\n", error.what());
        return 1;
    }
    return 0;
}

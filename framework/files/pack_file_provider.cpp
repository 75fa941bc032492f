#include "framework/files/pack_file_provider.h"

#include <cctype>
#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/core/exception.h"
#include "engine/files/file_codec.h"
#include "engine/files/folder_codec.h"
#include "engine/files/memory_stream.h"
#include "engine/files/uncompress.h"
#include "framework/files/pack_format.h"

namespace {

// Deflate cannot expand one byte into more than this many.
constexpr int64_t kMaxInflateRatio = 1032;

// Reads the header as the pack's scanf-style layout ("%s", then
// "Entries=%d Size=%d ", then "entry=%s %d %d " per entry) reads it: every
// field may follow any run of white space, a number may carry a sign, and a
// field ends where its characters do. Never reads past the bytes it was given.
class HeaderReader {
public:
    HeaderReader(const uint8_t* begin, const uint8_t* end) : at_(begin), end_(end) {}

    // The next run of characters that are not white space; empty at the end.
    std::string_view word() {
        skipBlanks();
        const uint8_t* start = at_;
        while (at_ < end_ && !std::isspace(*at_)) ++at_;
        return {reinterpret_cast<const char*>(start), static_cast<size_t>(at_ - start)};
    }

    // Whether `key` comes next; the reader stands behind it when it does.
    bool takeKey(std::string_view key) {
        skipBlanks();
        std::string_view rest(reinterpret_cast<const char*>(at_), static_cast<size_t>(end_ - at_));
        if (!rest.starts_with(key)) return false;
        at_ += key.size();
        return true;
    }

    // A decimal number with an optional sign; none when no digit comes or
    // the value does not fit 32 bits.
    std::optional<int32_t> number() {
        skipBlanks();
        const bool negative = at_ < end_ && *at_ == '-';
        if (at_ < end_ && (*at_ == '-' || *at_ == '+')) ++at_;
        if (at_ == end_ || !std::isdigit(*at_)) return std::nullopt;
        uint64_t magnitude = 0;
        auto [stop, error] = std::from_chars(reinterpret_cast<const char*>(at_),
                                             reinterpret_cast<const char*>(end_), magnitude);
        at_ = reinterpret_cast<const uint8_t*>(stop);
        const uint64_t limit = negative ? uint64_t{1} << 31 : (uint64_t{1} << 31) - 1;
        if (error != std::errc() || magnitude > limit) return std::nullopt;
        return static_cast<int32_t>(negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude));
    }

    // Skips the blanks behind the last field; the data starts there.
    const uint8_t* skipBlanks() {
        while (at_ < end_ && std::isspace(*at_)) ++at_;
        return at_;
    }

private:
    const uint8_t* at_;
    const uint8_t* end_;
};

std::optional<int32_t> keyedNumber(HeaderReader& header, std::string_view key) {
    if (!header.takeKey(key)) return std::nullopt;
    return header.number();
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

    HeaderReader header(bytes.data(), bytes.data() + bytes.size());
    // The first word names the format and is not compared: packs whose word
    // differs load all the same.
    header.word();
    std::optional<int32_t> count = keyedNumber(header, pack_format::kEntriesKey);
    if (!count || *count < 0) fail(path_, "bad entry count");
    std::optional<int32_t> unpackedSize = keyedNumber(header, pack_format::kSizeKey);
    if (!unpackedSize || *unpackedSize < 0) fail(path_, "bad unpacked size");

    // The count is not trusted for allocation: a short header ends the loop.
    std::vector<PackEntry> listed;
    for (int32_t i = 0; i < *count; ++i) {
        std::string_view name;
        std::optional<int32_t> offset;
        std::optional<int32_t> length;
        if (header.takeKey(pack_format::kEntryKey)) {
            name = header.word();
            offset = header.number();
            length = header.number();
        }
        if (name.empty() || name.size() > pack_format::kMaxNameLength || !offset || !length) {
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

#include "platform/avi_file.h"

#include <sys/types.h>

#include <algorithm>

namespace host {

namespace {

constexpr uint32_t hasIndexFlag = 0x10;  // AVIF_HASINDEX
constexpr uint32_t keyFrameFlag = 0x10;  // AVIIF_KEYFRAME
constexpr uint8_t indexOfIndexes = 0;    // AVI_INDEX_OF_INDEXES
constexpr uint8_t indexOfChunks = 1;     // AVI_INDEX_OF_CHUNKS
constexpr uint32_t mainHeaderBytes = 56;
constexpr uint32_t streamHeaderBytes = 56;
constexpr uint32_t bitmapHeaderBytes = 40;
constexpr uint32_t superIndexEntryBytes = 16;
constexpr uint32_t superIndexBytes = 24 + superIndexEntryBytes * AviFile::riffSlots;
constexpr uint32_t extendedHeaderBytes = 248;
constexpr uint32_t chunkIndexHeaderBytes = 24;
constexpr uint32_t chunkIndexEntryBytes = 8;
constexpr uint32_t oldIndexEntryBytes = 16;
constexpr uint64_t extensionHeaderBytes = 24;  // "RIFF" size "AVIX" "LIST" size "movi"
const char* const frameCode = "00dc";

// Where the header fields that only close knows are: the data of "avih",
// "strh", "indx" and "dmlh", and the first RIFF's "movi" code.
constexpr uint64_t mainHeaderAt = 32;
constexpr uint64_t streamHeaderAt = mainHeaderAt + mainHeaderBytes + 12 + 8;
constexpr uint64_t superIndexAt = streamHeaderAt + streamHeaderBytes + 8 + bitmapHeaderBytes + 8;
constexpr uint64_t extendedHeaderAt = superIndexAt + superIndexBytes + 12 + 8;
constexpr uint64_t firstMoviCodeAt = extendedHeaderAt + extendedHeaderBytes + 8;

// Little-endian fields in file order.
class Bytes {
public:
    Bytes& code(const char* fourCc) {
        bytes_.insert(bytes_.end(), fourCc, fourCc + 4);
        return *this;
    }
    Bytes& byte(uint8_t value) { return little(value, 1); }
    Bytes& half(uint16_t value) { return little(value, 2); }
    Bytes& word(uint32_t value) { return little(value, 4); }
    Bytes& quad(uint64_t value) { return little(value, 8); }
    Bytes& zeros(std::size_t count) {
        bytes_.resize(bytes_.size() + count);
        return *this;
    }
    const std::vector<uint8_t>& data() const { return bytes_; }

private:
    Bytes& little(uint64_t value, int count) {
        for (int i = 0; i < count; ++i) bytes_.push_back(static_cast<uint8_t>(value >> 8 * i));
        return *this;
    }

    std::vector<uint8_t> bytes_;
};

std::vector<uint8_t> headerBytes(uint32_t width, uint32_t height, uint32_t rate) {
    constexpr uint32_t streamListBytes =
        4 + 8 + streamHeaderBytes + 8 + bitmapHeaderBytes + 8 + superIndexBytes;
    constexpr uint32_t extendedListBytes = 4 + 8 + extendedHeaderBytes;
    constexpr uint32_t headerListBytes = 4 + 8 + mainHeaderBytes + 8 + streamListBytes + 8 + extendedListBytes;
    Bytes header;
    header.code("RIFF").word(0).code("AVI ");
    header.code("LIST").word(headerListBytes).code("hdrl");
    // Frame count and buffer size are filled in on close.
    header.code("avih").word(mainHeaderBytes).word(1000000u / rate).word(0).word(0).word(hasIndexFlag);
    header.word(0).word(0).word(1).word(0).word(width).word(height).zeros(16);
    header.code("LIST").word(streamListBytes).code("strl");
    // Scale 1 and rate give frames per second; the last four are the frame
    // rectangle: left, top, right, bottom.
    header.code("strh").word(streamHeaderBytes).code("vids").code("MJPG").word(0).word(0).word(0);
    header.word(1).word(rate).word(0).word(0).word(0).word(0xFFFFFFFFu).word(0);
    header.half(0).half(0).half(static_cast<uint16_t>(width)).half(static_cast<uint16_t>(height));
    // A positive height: the pictures' first row is the top one, as JPEG has it.
    header.code("strf").word(bitmapHeaderBytes).word(bitmapHeaderBytes).word(width).word(height).half(1).half(24);
    header.code("MJPG").word(width * height * 3).zeros(16);
    header.code("indx").word(superIndexBytes).half(4).byte(0).byte(indexOfIndexes).word(0).code(frameCode);
    header.zeros(12 + superIndexEntryBytes * AviFile::riffSlots);
    header.code("LIST").word(extendedListBytes).code("odml").code("dmlh").word(extendedHeaderBytes);
    header.zeros(extendedHeaderBytes);
    header.code("LIST").word(0).code("movi");
    return header.data();
}

}  // namespace

AviFile::AviFile(int width, int height, int rate, uint64_t riffBytes)
    : width_(width), height_(height), rate_(rate), riffBytes_(std::min(riffBytes, riffLimit)) {}

AviFile::~AviFile() { close(); }

bool AviFile::open(const char* path) {
    // The frame rectangle holds 16-bit sizes and the image size 32 bits.
    if (file_ || width_ <= 0 || height_ <= 0 || rate_ <= 0 || width_ > 0xFFFF || height_ > 0xFFFF ||
        uint64_t{3} * static_cast<uint64_t>(width_) * static_cast<uint64_t>(height_) > 0xFFFFFFFFu) {
        return false;
    }
    file_ = std::fopen(path, "wb");
    if (!file_) return false;
    failed_ = false;
    written_ = 0;
    riffAt_ = 0;
    moviCodeAt_ = firstMoviCodeAt;
    frames_.clear();
    riffs_.clear();
    framesBefore_ = 0;
    largestFrame_ = 0;
    const std::vector<uint8_t> header =
        headerBytes(static_cast<uint32_t>(width_), static_cast<uint32_t>(height_), static_cast<uint32_t>(rate_));
    if (put(header) && written_ == firstMoviCodeAt + 4 && std::fflush(file_) == 0) return true;
    failed_ = true;
    close();
    return false;
}

bool AviFile::fits(uint64_t riffBytesSoFar, std::size_t framesInRiff, bool first, uint32_t size) const {
    const uint64_t frames = framesInRiff + 1;
    uint64_t bytes = riffBytesSoFar + 8 + size + (size & 1) + 8 + chunkIndexHeaderBytes + chunkIndexEntryBytes * frames;
    if (first) bytes += 8 + oldIndexEntryBytes * frames;
    return bytes <= riffBytes_;
}

bool AviFile::writeFrame(const uint8_t* jpeg, uint32_t size) {
    if (!file_ || failed_) return false;
    if (!fits(written_ - riffAt_, frames_.size(), riffs_.empty(), size)) {
        // A frame that not even a fresh RIFF holds, or no slot left for one.
        if (frames_.empty() || riffs_.size() + 2 > riffSlots || !fits(extensionHeaderBytes, 0, false, size)) {
            return false;
        }
        if (!endRiff() || !startExtensionRiff()) {
            failed_ = true;
            return false;
        }
    }
    const uint64_t dataAt = written_ + 8;
    const uint8_t pad = 0;
    if (!put(Bytes().code(frameCode).word(size).data()) || std::fwrite(jpeg, 1, size, file_) != size ||
        ((size & 1) && std::fwrite(&pad, 1, 1, file_) != 1) || std::fflush(file_) != 0) {
        failed_ = true;
        return false;
    }
    written_ += size + (size & 1);
    frames_.push_back({dataAt, size});
    largestFrame_ = std::max(largestFrame_, size);
    return true;
}

bool AviFile::close() {
    if (!file_) return !failed_;
    bool ok = !failed_ && endRiff() && completeHeaders() && std::fflush(file_) == 0;
    ok = std::fclose(file_) == 0 && ok;
    file_ = nullptr;
    failed_ = !ok;
    return ok;
}

bool AviFile::startExtensionRiff() {
    riffAt_ = written_;
    moviCodeAt_ = riffAt_ + 20;
    return put(Bytes().code("RIFF").word(0).code("AVIX").code("LIST").word(0).code("movi").data());
}

// The chunk index closes the "movi" list; the first RIFF adds "idx1" after it.
bool AviFile::endRiff() {
    const uint64_t indexAt = written_;
    const uint32_t frames = static_cast<uint32_t>(frames_.size());
    const uint32_t indexBytes = 8 + chunkIndexHeaderBytes + chunkIndexEntryBytes * frames;
    Bytes index;
    index.code("ix00").word(indexBytes - 8).half(2).byte(0).byte(indexOfChunks).word(frames).code(frameCode);
    index.quad(riffAt_).word(0);
    for (const FrameEntry& frame : frames_) index.word(static_cast<uint32_t>(frame.at - riffAt_)).word(frame.size);
    if (!put(index.data())) return false;
    const uint64_t moviEnd = written_;
    if (riffs_.empty()) {
        // Offsets from the "movi" code to each frame's chunk header.
        Bytes oldIndex;
        oldIndex.code("idx1").word(oldIndexEntryBytes * frames);
        for (const FrameEntry& frame : frames_) {
            oldIndex.code(frameCode).word(keyFrameFlag).word(static_cast<uint32_t>(frame.at - 8 - moviCodeAt_));
            oldIndex.word(frame.size);
        }
        if (!put(oldIndex.data())) return false;
    }
    if (!patch(riffAt_ + 4, Bytes().word(static_cast<uint32_t>(written_ - riffAt_ - 8)).data()) ||
        !patch(moviCodeAt_ - 4, Bytes().word(static_cast<uint32_t>(moviEnd - moviCodeAt_)).data())) {
        return false;
    }
    riffs_.push_back({indexAt, indexBytes, frames});
    framesBefore_ += frames;
    frames_.clear();
    return true;
}

// The main header counts the first RIFF's frames, as old readers see them;
// the stream header and "dmlh" count them all.
bool AviFile::completeHeaders() {
    Bytes superIndex;
    for (const RiffEntry& riff : riffs_) superIndex.quad(riff.indexAt).word(riff.indexBytes).word(riff.frames);
    return patch(mainHeaderAt + 16, Bytes().word(riffs_.front().frames).data()) &&
           patch(mainHeaderAt + 28, Bytes().word(largestFrame_).data()) &&
           patch(streamHeaderAt + 32, Bytes().word(framesBefore_).word(largestFrame_).data()) &&
           patch(superIndexAt + 4, Bytes().word(static_cast<uint32_t>(riffs_.size())).data()) &&
           patch(superIndexAt + 24, superIndex.data()) &&
           patch(extendedHeaderAt, Bytes().word(framesBefore_).data());
}

bool AviFile::put(const std::vector<uint8_t>& bytes) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) return false;
    written_ += bytes.size();
    return true;
}

bool AviFile::patch(uint64_t offset, const std::vector<uint8_t>& bytes) {
    return fseeko(file_, static_cast<off_t>(offset), SEEK_SET) == 0 &&
           std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size() &&
           fseeko(file_, static_cast<off_t>(written_), SEEK_SET) == 0;
}

}  // namespace host

#include "platform/avi_file.h"

#include <sys/types.h>

namespace host {

namespace {

constexpr uint32_t hasIndexFlag = 0x10;  // AVIF_HASINDEX
constexpr uint32_t keyFrameFlag = 0x10;  // AVIIF_KEYFRAME
constexpr uint32_t mainHeaderBytes = 56;
constexpr uint32_t streamHeaderBytes = 56;
constexpr uint32_t bitmapHeaderBytes = 40;
constexpr uint32_t indexEntryBytes = 16;

// Where the header fields that only close knows are.
constexpr uint64_t riffSizeAt = 4;
constexpr uint64_t totalFramesAt = 48;
constexpr uint64_t streamLengthAt = 140;
constexpr uint64_t moviSizeAt = 216;
constexpr uint64_t moviCodeAt = 220;

}  // namespace

AviFile::AviFile(int width, int height, int rate, uint64_t sizeLimit)
    : width_(width), height_(height), rate_(rate), sizeLimit_(sizeLimit) {}

AviFile::~AviFile() { close(); }

bool AviFile::open(const char* path) {
    if (file_ || width_ <= 0 || height_ <= 0 || rate_ <= 0) return false;
    file_ = std::fopen(path, "wb");
    if (!file_) return false;
    failed_ = false;
    written_ = 0;
    frameOffsets_.clear();
    if (writeHeaders() && std::fflush(file_) == 0) return true;
    failed_ = true;
    close();
    return false;
}

bool AviFile::writeHeaders() {
    const uint32_t frameSize = frameBytes();
    const uint32_t streamListBytes = 4 + 8 + streamHeaderBytes + 8 + bitmapHeaderBytes;
    const uint32_t headerListBytes = 4 + 8 + mainHeaderBytes + 8 + streamListBytes;
    const uint32_t width = static_cast<uint32_t>(width_);
    const uint32_t height = static_cast<uint32_t>(height_);

    bool ok = putFourCc("RIFF") && putWord(0) && putFourCc("AVI ");
    ok = ok && putFourCc("LIST") && putWord(headerListBytes) && putFourCc("hdrl");
    ok = ok && putFourCc("avih") && putWord(mainHeaderBytes) && putWord(1000000u / static_cast<uint32_t>(rate_)) &&
         putWord(frameSize * static_cast<uint32_t>(rate_)) && putWord(0) && putWord(hasIndexFlag) && putWord(0) &&
         putWord(0) && putWord(1) && putWord(frameSize) && putWord(width) && putWord(height) && putWord(0) &&
         putWord(0) && putWord(0) && putWord(0);
    ok = ok && putFourCc("LIST") && putWord(streamListBytes) && putFourCc("strl");
    // The frame rectangle is four 16-bit values: left, top, right, bottom.
    ok = ok && putFourCc("strh") && putWord(streamHeaderBytes) && putFourCc("vids") && putWord(0) && putWord(0) &&
         putWord(0) && putWord(0) && putWord(1) && putWord(static_cast<uint32_t>(rate_)) && putWord(0) &&
         putWord(0) && putWord(frameSize) && putWord(0xFFFFFFFFu) && putWord(0) && putWord(0) &&
         putWord((height & 0xFFFF) << 16 | (width & 0xFFFF));
    // A positive height: rows run bottom row first.
    ok = ok && putFourCc("strf") && putWord(bitmapHeaderBytes) && putWord(bitmapHeaderBytes) && putWord(width) &&
         putWord(height) && putWord(24u << 16 | 1) && putWord(0) && putWord(frameSize) && putWord(0) &&
         putWord(0) && putWord(0) && putWord(0);
    ok = ok && putFourCc("LIST") && putWord(0) && putFourCc("movi");
    return ok && written_ == moviCodeAt + 4;
}

bool AviFile::writeFrame(const uint8_t* rows) {
    if (!file_ || failed_) return false;
    const uint64_t frameSize = frameBytes();
    const uint64_t indexAfter = 8 + indexEntryBytes * (frameOffsets_.size() + 1);
    if (written_ + 8 + frameSize + indexAfter > sizeLimit_) return false;
    const uint32_t offset = static_cast<uint32_t>(written_ - moviCodeAt);
    if (!putFourCc("00db") || !putWord(frameBytes()) || !put(rows, frameSize) || std::fflush(file_) != 0) {
        failed_ = true;
        return false;
    }
    frameOffsets_.push_back(offset);
    return true;
}

bool AviFile::close() {
    if (!file_) return !failed_;
    const uint64_t moviEnd = written_;
    bool ok = !failed_ && writeIndex() && patchSizes(moviEnd);
    ok = std::fclose(file_) == 0 && ok;
    file_ = nullptr;
    failed_ = !ok;
    return ok;
}

bool AviFile::writeIndex() {
    if (!putFourCc("idx1") || !putWord(static_cast<uint32_t>(indexEntryBytes * frameOffsets_.size()))) return false;
    for (uint32_t offset : frameOffsets_) {
        if (!putFourCc("00db") || !putWord(keyFrameFlag) || !putWord(offset) || !putWord(frameBytes())) return false;
    }
    return true;
}

bool AviFile::patchSizes(uint64_t moviEnd) {
    const uint32_t frames = static_cast<uint32_t>(frameOffsets_.size());
    return patchWord(riffSizeAt, static_cast<uint32_t>(written_ - 8)) && patchWord(totalFramesAt, frames) &&
           patchWord(streamLengthAt, frames) && patchWord(moviSizeAt, static_cast<uint32_t>(moviEnd - moviCodeAt)) &&
           std::fflush(file_) == 0;
}

bool AviFile::put(const void* bytes, std::size_t count) {
    if (std::fwrite(bytes, 1, count, file_) != count) return false;
    written_ += count;
    return true;
}

bool AviFile::putWord(uint32_t value) {
    const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                              static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    return put(bytes, sizeof bytes);
}

bool AviFile::putFourCc(const char* code) { return put(code, 4); }

bool AviFile::patchWord(uint64_t offset, uint32_t value) {
    if (fseeko(file_, static_cast<off_t>(offset), SEEK_SET) != 0) return false;
    const uint64_t end = written_;
    bool ok = putWord(value);
    written_ = end;
    return ok;
}

}  // namespace host

#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

namespace host {

// An uncompressed 24-bit video-only RIFF AVI, written frame by frame. The
// headers are written on open and their counts, the index and the chunk sizes
// are filled in on close. Every write is checked; after a failure the file
// takes nothing more.
class AviFile {
public:
    // A RIFF chunk size is 32 bits; a file that would grow past this many
    // bytes refuses further frames so that what was written stays readable.
    static constexpr uint64_t riffSizeLimit = 0xFFFFFFF0u;

    AviFile(int width, int height, int rate, uint64_t sizeLimit = riffSizeLimit);
    ~AviFile();
    AviFile(const AviFile&) = delete;
    AviFile& operator=(const AviFile&) = delete;

    bool open(const char* path);
    // One frame of rows bottom row first, each `rowBytes` long: blue, green,
    // red per pixel, padded to four bytes.
    bool writeFrame(const uint8_t* rows);
    // Writes the index and the final sizes; false when any write failed.
    bool close();

    int rowBytes() const { return (width_ * 3 + 3) & ~3; }
    uint32_t frameBytes() const { return static_cast<uint32_t>(rowBytes()) * static_cast<uint32_t>(height_); }
    int framesWritten() const { return static_cast<int>(frameOffsets_.size()); }

private:
    bool writeHeaders();
    bool writeIndex();
    bool patchSizes(uint64_t fileBytes);
    bool put(const void* bytes, std::size_t count);
    bool putWord(uint32_t value);
    bool putFourCc(const char* code);
    bool patchWord(uint64_t offset, uint32_t value);

    int width_;
    int height_;
    int rate_;
    uint64_t sizeLimit_;
    std::FILE* file_ = nullptr;
    bool failed_ = false;
    uint64_t written_ = 0;
    std::vector<uint32_t> frameOffsets_;  // from the "movi" code, as the index wants
};

}  // namespace host

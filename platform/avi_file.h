#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

namespace host {

// A video-only Motion-JPEG AVI, written frame by frame. The frames fill a
// first RIFF "AVI " and then, as the OpenDML extension has it, further RIFFs
// "AVIX"; each RIFF carries its own chunk index and the stream header lists
// them all in a super index, so the file may grow far past the 4 GiB that a
// single RIFF can address. The first RIFF keeps a plain "idx1" index for old
// readers. Every write is checked; after a failed one the file takes nothing
// more, and a frame the file has no room for is refused without harm to
// what was written.
class AviFile {
public:
    // Readers expect no RIFF to pass 1 GiB.
    static constexpr uint64_t riffLimit = uint64_t{1} << 30;
    // The super index reserved in the header lists at most this many RIFFs.
    static constexpr uint32_t riffSlots = 64;

    // riffBytes, at most riffLimit, bounds each RIFF.
    AviFile(int width, int height, int rate, uint64_t riffBytes = riffLimit);
    ~AviFile();
    AviFile(const AviFile&) = delete;
    AviFile& operator=(const AviFile&) = delete;

    bool open(const char* path);
    // One JPEG picture of width x height.
    bool writeFrame(const uint8_t* jpeg, uint32_t size);
    // Ends the last RIFF and completes the headers; false when any write failed.
    bool close();

    int framesWritten() const { return static_cast<int>(framesBefore_ + frames_.size()); }

private:
    struct FrameEntry {
        uint64_t at;  // the frame's data, past its chunk header
        uint32_t size;
    };
    struct RiffEntry {
        uint64_t indexAt;  // its chunk index
        uint32_t indexBytes;
        uint32_t frames;
    };

    bool fits(uint64_t riffBytesSoFar, std::size_t framesInRiff, bool first, uint32_t size) const;
    bool startExtensionRiff();
    bool endRiff();
    bool completeHeaders();
    bool put(const std::vector<uint8_t>& bytes);
    bool patch(uint64_t offset, const std::vector<uint8_t>& bytes);

    int width_;
    int height_;
    int rate_;
    uint64_t riffBytes_;
    std::FILE* file_ = nullptr;
    bool failed_ = false;
    uint64_t written_ = 0;
    uint64_t riffAt_ = 0;
    uint64_t moviCodeAt_ = 0;
    std::vector<FrameEntry> frames_;  // of the current RIFF
    std::vector<RiffEntry> riffs_;    // those already ended
    uint32_t framesBefore_ = 0;       // in the RIFFs already ended
    uint32_t largestFrame_ = 0;
};

}  // namespace host

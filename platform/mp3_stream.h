#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <memory>

struct mpg123_handle_struct;

namespace host {

// The one output format of the audio back end: 44100 Hz, 16-bit, stereo.
constexpr int kOutputRate = 44100;
constexpr int kOutputChannels = 2;
constexpr int kOutputFrameBytes = kOutputChannels * 2;

// An MP3 held in memory, decoded a little at a time as it is read, always
// to the output format (other rates are resampled, mono is doubled).
class Mp3Stream {
public:
    // Reads bytes lent by the caller, which must outlive the stream. Null
    // when the bytes hold no decodable MPEG audio.
    static std::unique_ptr<Mp3Stream> open(const uint8_t* data, size_t size);

    ~Mp3Stream();
    Mp3Stream(const Mp3Stream&) = delete;
    Mp3Stream& operator=(const Mp3Stream&) = delete;

    // Decodes up to `bytes` bytes of samples (whole frames); fewer only at
    // the end of the track or at damage that cannot be decoded past.
    size_t read(uint8_t* out, size_t bytes);

    // Moves to a byte offset in the decoded samples. False beyond the end.
    bool seek(int64_t byte);

private:
    // The compressed bytes and how far the decoder has read them.
    struct Source {
        const uint8_t* data;
        size_t size;
        size_t position = 0;
    };

    explicit Mp3Stream(Source source);

    static ssize_t readSource(void* source, void* buffer, size_t count);
    static off_t seekSource(void* source, off_t offset, int origin);

    Source source_;
    mpg123_handle_struct* decoder_ = nullptr;
};

}  // namespace host

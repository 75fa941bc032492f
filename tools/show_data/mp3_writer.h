#pragma once

#include <cstdint>
#include <span>
#include <vector>

struct lame_global_struct;

namespace show_data {

// Encodes 44100 Hz 16-bit stereo into MP3 with LAME, at a constant bit
// rate, and finishes with the info frame that lets decoders drop the
// encoder's padding: the decoded music starts on its first sample.
// Failures throw std::runtime_error.
class Mp3Writer {
public:
    explicit Mp3Writer(int kilobitsPerSecond);
    ~Mp3Writer();
    Mp3Writer(const Mp3Writer&) = delete;
    Mp3Writer& operator=(const Mp3Writer&) = delete;

    // Interleaved frames, two values each.
    void encode(std::span<const int16_t> interleaved);
    // The whole file; the writer takes no more samples afterwards.
    std::vector<uint8_t> finish();

private:
    lame_global_struct* lame_;
    std::vector<uint8_t> bytes_;
    std::vector<uint8_t> chunk_;
};

}  // namespace show_data

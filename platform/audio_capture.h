#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace host {

// Recorded sound as the analyser reads it: 16-bit stereo at 44100 Hz,
// queued until read.
class SoundInput {
public:
    static constexpr int frequency = 44100;
    static constexpr int channels = 2;

    virtual ~SoundInput() = default;
    // Bytes of recorded sound waiting.
    virtual std::size_t available() const = 0;
    // Takes the oldest waiting samples (interleaved left, right) into samples.
    virtual void read(std::span<int16_t> samples) = 0;
    // Recording level of the input, 0 to 100.
    virtual void setLevel(int input, int level) = 0;
};

// Records from a capture device through SDL. A device that does not open
// leaves nothing to read, so the sound reads as silence.
class AudioCapture : public SoundInput {
public:
    // Opens the device-th capture device and starts recording.
    explicit AudioCapture(int device);
    ~AudioCapture() override;
    AudioCapture(const AudioCapture&) = delete;
    AudioCapture& operator=(const AudioCapture&) = delete;

    bool isOpen() const { return device_ != 0; }

    std::size_t available() const override;
    void read(std::span<int16_t> samples) override;
    // SDL has one input per device, so the level applies to what is read.
    void setLevel(int input, int level) override;

private:
    uint32_t device_ = 0;
    int level_ = 100;
};

}  // namespace host

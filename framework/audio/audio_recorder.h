#pragma once

#include "framework/audio/spectrum_bands.h"
#include "platform/audio_capture.h"

#include <array>
#include <cstdint>
#include <memory>

// Listens to the recording input and keeps its spectrum, from which the
// sound-level triggers read the mean level of a band. Off until start-up
// starts it; while off every level reads 0.
class AudioRecorder {
public:
    static constexpr int binCount = 512;

    static AudioRecorder& instance();
    // Back to the state of a fresh process (test programs run many cases in one).
    void resetToStart();
    AudioRecorder(const AudioRecorder&) = delete;
    AudioRecorder& operator=(const AudioRecorder&) = delete;

    // Records from the first capture device, with the level set on the
    // given input, and enables the analyser with a flat weighting.
    void start(int inputIndex);
    // The same over any recorded sound (tests feed samples this way).
    void start(int inputIndex, std::unique_ptr<host::SoundInput> input);
    // Stops recording and disables the analyser.
    void free();

    void setEnabled(bool enabled) { enabled_ = enabled; }
    bool isEnabled() const { return enabled_; }

    // 0..1, clamped, kept as 0..100.
    void setInputLevel(float level);
    // 0..1, clamped, kept as 0..10: the gain of the weighting.
    void setWeight(float weight);
    float inputLevel() const { return inputLevel_; }
    float weight() const { return weight_; }

    // Mean weighted level of the bins from the from fraction to the to
    // fraction of the spectrum; 0 while disabled. The spectrum is fetched at
    // most once per clock time, so the levels of one frame share it.
    float level(float from, float to);

private:
    AudioRecorder() = default;

    void fetchOnce();
    void fetch();
    void readSpectrum();

    std::unique_ptr<SpectrumBands> bands_;
    std::unique_ptr<SpectrumWeighting> weighting_;
    int32_t lastFetchTime_ = -1;
    bool enabled_ = false;
    std::array<float, binCount> bins_{};
    float inputLevel_ = 0.0f;
    float weight_ = 0.0f;
    float appliedInputLevel_ = -1.0f;
    float appliedWeight_ = -1.0f;
    std::unique_ptr<host::SoundInput> input_;
    int inputIndex_ = 0;
};

#include "framework/audio/audio_recorder.h"

#include "framework/audio/spectrum_fft.h"
#include "framework/clock/timer.h"

#include <algorithm>
#include <vector>

namespace {

// Two samples of 16 bits per stereo frame: one FFT's worth of frames.
constexpr std::size_t frameBytes = host::SoundInput::channels * sizeof(int16_t);
constexpr std::size_t fftFrames = 2 * AudioRecorder::binCount;

}  // namespace

AudioRecorder& AudioRecorder::instance() {
    static AudioRecorder* recorder = new AudioRecorder;
    return *recorder;
}

void AudioRecorder::resetToStart() {
    free();
    bands_.reset();
    weighting_.reset();
    lastFetchTime_ = -1;
    bins_.fill(0.0f);
    inputLevel_ = 0.0f;
    weight_ = 0.0f;
    appliedInputLevel_ = -1.0f;
    appliedWeight_ = -1.0f;
    inputIndex_ = 0;
}

void AudioRecorder::start(int inputIndex) { start(inputIndex, std::make_unique<host::AudioCapture>(0)); }

void AudioRecorder::start(int inputIndex, std::unique_ptr<host::SoundInput> input) {
    inputIndex_ = inputIndex;
    input_ = std::move(input);
    bins_.fill(0.0f);
    bands_ = std::make_unique<SpectrumBands>(bins_);
    weighting_ = std::make_unique<SpectrumWeighting>(binCount);
    weighting_->addSegment(0.0f, 1.0f, 1.0f, 1.0f);
    bands_->setWeighting(weighting_.get());
    enabled_ = true;
}

void AudioRecorder::free() {
    input_.reset();
    enabled_ = false;
}

void AudioRecorder::setInputLevel(float level) { inputLevel_ = std::clamp(level, 0.0f, 1.0f) * 100.0f; }

void AudioRecorder::setWeight(float weight) { weight_ = std::clamp(weight, 0.0f, 1.0f) * 10.0f; }

// Enabled but never started (or freed) has no spectrum: it reads as silence.
float AudioRecorder::level(float from, float to) {
    if (!enabled_ || !bands_) return 0.0f;
    fetchOnce();
    return bands_->average(from, to);
}

void AudioRecorder::fetchOnce() {
    const int32_t now = Timer::instance().getTime();
    if (now == lastFetchTime_) return;
    fetch();
    lastFetchTime_ = now;
}

void AudioRecorder::fetch() {
    readSpectrum();
    if (inputLevel_ != appliedInputLevel_) {
        if (input_) input_->setLevel(inputIndex_, static_cast<int>(inputLevel_));
        appliedInputLevel_ = inputLevel_;
    }
    if (weight_ != appliedWeight_) {
        weighting_->setGain(weight_);
        appliedWeight_ = weight_;
    }
}

// Until a whole FFT's worth of sound is waiting the spectrum reads as silence.
void AudioRecorder::readSpectrum() {
    if (!input_ || input_->available() / frameBytes < fftFrames) {
        bins_.fill(0.0f);
        return;
    }
    std::vector<int16_t> samples(fftFrames * host::SoundInput::channels);
    input_->read(samples);
    std::vector<float> mono(fftFrames);
    for (std::size_t frame = 0; frame < fftFrames; ++frame) {
        mono[frame] = (samples[2 * frame] + samples[2 * frame + 1]) / (2.0f * 32768.0f);
    }
    spectrumMagnitudes(mono, bins_);
}

#pragma once

#include <cstdint>

namespace show_data {

inline constexpr int kSampleRate = 44100;

// A cheap tanh-like saturation: linear near 0, flattening to ±1 at ±3.
inline float softClip(float x) {
    x = x < -3 ? -3 : x > 3 ? 3 : x;
    return x * (27 + x * x) / (27 + 9 * x * x);
}

// Equal-tempered, A4 (note 69) at 440 Hz.
float noteFrequency(int note);
// Per-sample factor of an exponential decay with time constant `seconds`.
float decayFactor(float seconds);

// An exponential fall from 1 with time constant `seconds`. It ends at 0
// rather than sinking into denormal numbers, which are slow to compute.
class Decay {
public:
    explicit Decay(float seconds) : factor_(decayFactor(seconds)) {}
    float value() const { return value_; }
    void step() {
        value_ *= factor_;
        if (value_ < 1e-12f) value_ = 0;
    }
    void restart() { value_ = 1; }

private:
    float factor_;
    float value_ = 1;
};

// White noise in [-1, 1) from a 32-bit xorshift, the same for the same seed.
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed | 1u) {}
    float next();

private:
    uint32_t state_;
};

// Sawtooth in [-1, 1] with its steps smoothed (polyBLEP), so that high notes
// do not alias into the audible range.
class Saw {
public:
    Saw(float frequency, float phase) : phase_(phase) { setFrequency(frequency); }
    void setFrequency(float frequency) { increment_ = frequency / kSampleRate; }
    float next() {
        const float value = 2 * phase_ - 1 - stepCorrection();
        phase_ += increment_;
        if (phase_ >= 1) phase_ -= 1;
        return value;
    }

private:
    // The smoothing that the step at phase 0 needs (polyBLEP).
    float stepCorrection() const {
        if (phase_ < increment_) {
            const float t = phase_ / increment_;
            return t + t - t * t - 1;
        }
        if (phase_ > 1 - increment_) {
            const float t = (phase_ - 1) / increment_;
            return t * t + t + t + 1;
        }
        return 0;
    }

    float phase_;
    float increment_ = 0;
};

// Sine from a phase accumulator; the frequency may change every sample.
class Sine {
public:
    float next(float frequency);

private:
    float phase_ = 0;
};

// One-pole highpass.
class OnePoleHighpass {
public:
    explicit OnePoleHighpass(float cutoff);
    float process(float x);

private:
    float coefficient_;
    float lowState_ = 0;
};

// State-variable filter in the trapezoidal form, stable under fast cutoff
// changes. process() returns the lowpass; bandpass and highpass of the same
// sample follow.
class Svf {
public:
    Svf(float cutoff, float q) { set(cutoff, q); }
    void set(float cutoff, float q);
    float process(float x) {
        const float v3 = x - state2_;
        const float v1 = a1_ * state1_ + a2_ * v3;
        const float v2 = state2_ + a2_ * state1_ + a3_ * v3;
        state1_ = 2 * v1 - state1_;
        state2_ = 2 * v2 - state2_;
        band_ = v1;
        high_ = x - k_ * v1 - v2;
        return v2;
    }
    float bandpass() const { return band_; }
    float highpass() const { return high_; }

private:
    float k_ = 1, a1_ = 0, a2_ = 0, a3_ = 0;
    float state1_ = 0, state2_ = 0;
    float band_ = 0, high_ = 0;
};

// Attack, decay, sustain, release: a linear rise over `attack` seconds,
// exponential falls with the time constants `decay` and `release`.
class Adsr {
public:
    Adsr(float attack, float decay, float sustain, float release);
    float next();
    void release() { releasing_ = true; }
    // Released and faded below hearing (-60 dB).
    bool isDone() const { return releasing_ && level_ < 1e-3f; }

private:
    float attackStep_;
    float decayFactor_;
    float sustain_;
    float releaseFactor_;
    float level_ = 0;
    bool attacking_ = true;
    bool releasing_ = false;
};

// Gains of an equal-power pan from -1 (left) to 1 (right).
struct Pan {
    float left;
    float right;
};
Pan panAt(float position);

}  // namespace show_data

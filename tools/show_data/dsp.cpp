#include "tools/show_data/dsp.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace show_data {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

}  // namespace

float noteFrequency(int note) { return 440.0f * std::exp2((note - 69) / 12.0f); }

float decayFactor(float seconds) { return std::exp(-1.0f / (seconds * kSampleRate)); }

float Noise::next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<float>(static_cast<int32_t>(state_)) * (1.0f / 2147483648.0f);
}

float Sine::next(float frequency) {
    // Folded into a quarter wave, where a short series is exact to 4e-6.
    float x = phase_ - 0.5f;
    if (x > 0.25f) x = 0.5f - x;
    if (x < -0.25f) x = -0.5f - x;
    const float t = 2 * kPi * x;
    const float t2 = t * t;
    const float value = -t * (1 - t2 / 6 * (1 - t2 / 20 * (1 - t2 / 42 * (1 - t2 / 72))));
    phase_ += frequency / kSampleRate;
    if (phase_ >= 1) phase_ -= 1;
    return value;
}

OnePoleHighpass::OnePoleHighpass(float cutoff) : coefficient_(1 - std::exp(-2 * kPi * cutoff / kSampleRate)) {}

float OnePoleHighpass::process(float x) {
    lowState_ += coefficient_ * (x - lowState_);
    return x - lowState_;
}

void Svf::set(float cutoff, float q) {
    const float g = std::tan(kPi * std::min(cutoff, 0.45f * kSampleRate) / kSampleRate);
    k_ = 1 / q;
    a1_ = 1 / (1 + g * (g + k_));
    a2_ = g * a1_;
    a3_ = g * a2_;
}

Adsr::Adsr(float attack, float decay, float sustain, float release)
    : attackStep_(1 / (attack * kSampleRate)),
      decayFactor_(decayFactor(decay)),
      sustain_(sustain),
      releaseFactor_(decayFactor(release)) {}

float Adsr::next() {
    if (releasing_) {
        level_ *= releaseFactor_;
    } else if (attacking_) {
        level_ += attackStep_;
        if (level_ >= 1) level_ = 1, attacking_ = false;
    } else {
        const float above = (level_ - sustain_) * decayFactor_;
        level_ = std::fabs(above) < 1e-9f ? sustain_ : sustain_ + above;
    }
    return level_;
}

Pan panAt(float position) {
    const float angle = (std::clamp(position, -1.0f, 1.0f) + 1) * kPi / 4;
    return {std::cos(angle), std::sin(angle)};
}

}  // namespace show_data

#include "tools/show_data/effects.h"

namespace show_data {

namespace {

constexpr float kEchoDamping = 0.35f;
constexpr float kCombFeedback = 0.84f;
constexpr float kCombDamping = 0.3f;
constexpr float kAllpassFeedback = 0.5f;
// Comb and allpass lengths in samples at 44100 Hz, mutually prime so that
// their echoes do not line up.
constexpr std::size_t kCombLengths[] = {1116, 1277, 1422, 1557};
constexpr std::size_t kAllpassLengths[] = {556, 341};
constexpr std::size_t kStereoSpread = 23;
constexpr float kInputGain = 0.03f;

}  // namespace

PingPongEcho::PingPongEcho(int delaySamples, float feedback)
    : leftLine_(delaySamples), rightLine_(delaySamples), feedback_(feedback) {}

void PingPongEcho::process(float input, float& left, float& right) {
    const float fromLeft = leftLine_[position_];
    const float fromRight = rightLine_[position_];
    damped_ += (1 - kEchoDamping) * (fromRight - damped_);
    leftLine_[position_] = input + feedback_ * damped_;
    rightLine_[position_] = feedback_ * fromLeft;
    if (++position_ == leftLine_.size()) position_ = 0;
    left += fromLeft;
    right += fromRight;
}

float Reverb::Comb::process(float input) {
    const float output = line[position];
    damped = output * (1 - kCombDamping) + damped * kCombDamping;
    line[position] = input + damped * kCombFeedback;
    if (++position == line.size()) position = 0;
    return output;
}

float Reverb::Allpass::process(float input) {
    const float delayed = line[position];
    line[position] = input + delayed * kAllpassFeedback;
    if (++position == line.size()) position = 0;
    return delayed - input;
}

float Reverb::Side::process(float input) {
    float sum = 0;
    for (Comb& comb : combs) sum += comb.process(input);
    for (Allpass& allpass : allpasses) sum = allpass.process(sum);
    return sum;
}

Reverb::Reverb() {
    for (std::size_t i = 0; i < 4; ++i) {
        left_.combs[i].line.resize(kCombLengths[i]);
        right_.combs[i].line.resize(kCombLengths[i] + kStereoSpread);
    }
    for (std::size_t i = 0; i < 2; ++i) {
        left_.allpasses[i].line.resize(kAllpassLengths[i]);
        right_.allpasses[i].line.resize(kAllpassLengths[i] + kStereoSpread);
    }
}

void Reverb::process(float input, float& left, float& right) {
    left += left_.process(input * kInputGain);
    right += right_.process(input * kInputGain);
}

}  // namespace show_data

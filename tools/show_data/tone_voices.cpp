#include "tools/show_data/tone_voices.h"

#include <cmath>

namespace show_data {

namespace {

// Filters that follow an envelope are retuned every so many samples: often
// enough to sound smooth, rarely enough to stay cheap.
constexpr int kRetune = 16;

// A start phase in [0, 1) from the seed, so that stacked oscillators of a
// chord do not start in step.
float phaseOf(uint32_t seed, uint32_t salt) {
    const uint32_t mixed = (seed ^ salt) * 2654435761u;
    return static_cast<float>(mixed >> 8) / 16777216.0f;
}

float cents(float amount) { return std::exp2(amount / 1200); }

}  // namespace

BassVoice::BassVoice(int note, float gain)
    : gain_(gain), frequency_(noteFrequency(note)), saw_(frequency_, 0), filter_(2000, 1.1f) {}

bool BassVoice::render(const MixBus& bus, int from, int to) {
    static const Placement placement{panAt(0), 0.03f, 0};
    for (int i = from; i < to; ++i, ++age_) {
        if (age_ % kRetune == 0) filter_.set(140 + (300 + 1800 * gain_) * brightness_.value(), 1.1f);
        const float tone = 0.6f * filter_.process(saw_.next()) + 0.4f * sub_.next(frequency_);
        placement.add(bus, i, softClip(1.5f * tone) * envelope_.next() * 0.5f * gain_);
        brightness_.step();
    }
    return !envelope_.isDone();
}

PadVoice::PadVoice(int note, float gain, uint32_t seed)
    : gain_(gain),
      left_(noteFrequency(note) * cents(-8), phaseOf(seed, 1)),
      centre_(noteFrequency(note), phaseOf(seed, 2)),
      right_(noteFrequency(note) * cents(7), phaseOf(seed, 3)),
      leftFilter_(1800 + 1400 * gain, 0.8f),
      rightFilter_(1800 + 1400 * gain, 0.8f) {}

bool PadVoice::render(const MixBus& bus, int from, int to) {
    for (int i = from; i < to; ++i) {
        const float centre = 0.6f * centre_.next();
        const float level = envelope_.next() * 0.07f * gain_;
        const float left = leftFilter_.process(left_.next() + centre) * level;
        const float right = rightFilter_.process(right_.next() + centre) * level;
        bus.left[i] += left;
        bus.right[i] += right;
        bus.reverb[i] += 0.45f * (left + right);
        bus.echo[i] += 0.03f * (left + right);
    }
    return !envelope_.isDone();
}

PluckVoice::PluckVoice(int note, float gain, uint32_t seed)
    : gain_(gain),
      placement_{panAt(static_cast<float>(note * 7 % 9 - 4) / 8), 0.2f, 0.35f},
      fundamental_(noteFrequency(note), phaseOf(seed, 1)),
      octave_(2 * noteFrequency(note), phaseOf(seed, 2)),
      filter_(6000, 0.9f) {}

bool PluckVoice::render(const MixBus& bus, int from, int to) {
    constexpr int kAttack = kSampleRate * 2 / 1000;
    for (int i = from; i < to; ++i, ++age_) {
        if (age_ % kRetune == 0) filter_.set(400 + 7000 * gain_ * brightness_.value(), 0.9f);
        // Played, the string rings; released, it is damped, from where the
        // ring has got to.
        float amplitude = std::fmin(1.0f, static_cast<float>(age_) / kAttack) * ring_.value();
        if (released_) {
            amplitude *= damping_.value();
            damping_.step();
        } else {
            ring_.step();
        }
        const float tone = filter_.process(fundamental_.next() + 0.4f * octave_.next());
        placement_.add(bus, i, tone * amplitude * 0.2f * gain_);
        brightness_.step();
    }
    return ring_.value() * damping_.value() > 1e-4f;
}

LeadVoice::LeadVoice(int note, float gain, uint32_t seed)
    : gain_(gain),
      frequency_(noteFrequency(note)),
      upperFrequency_(frequency_ * cents(6)),
      lowerFrequency_(frequency_ * cents(-6)),
      upper_(upperFrequency_, phaseOf(seed, 1)),
      lower_(lowerFrequency_, phaseOf(seed, 2)),
      filter_(2400 + 1500 * gain, 0.9f) {}

bool LeadVoice::render(const MixBus& bus, int from, int to) {
    static const Placement placement{panAt(0.1f), 0.3f, 0.3f};
    constexpr float kVibratoDelay = 0.3f * kSampleRate;
    for (int i = from; i < to; ++i, ++age_) {
        const float depth = 0.004f * std::fmin(1.0f, age_ / kVibratoDelay);
        const float bend = 1 + depth * vibrato_.next(5.3f);
        upper_.setFrequency(upperFrequency_ * bend);
        lower_.setFrequency(lowerFrequency_ * bend);
        const float tone = filter_.process(0.5f * (upper_.next() + lower_.next())) + 0.35f * sub_.next(frequency_ * bend / 2);
        placement.add(bus, i, tone * envelope_.next() * 0.16f * gain_);
    }
    return !envelope_.isDone();
}

}  // namespace show_data

#include "tools/show_data/drum_voices.h"

#include <cmath>

namespace show_data {

namespace {

// Below this a decaying drum is inaudible under the music (-54 dB).
constexpr float kSilent = 0.002f;

const Placement kCentre{panAt(0), 0.04f, 0};

}  // namespace

KickVoice::KickVoice(float gain, uint32_t seed) : gain_(gain), noise_(seed) {}

bool KickVoice::render(const MixBus& bus, int from, int to) {
    for (int i = from; i < to; ++i) {
        const float sample =
            body_.next(44 + 130 * pitch_.value()) * amplitude_.value() + 0.25f * click_.value() * noise_.next();
        kCentre.add(bus, i, softClip(1.4f * sample) * gain_);
        pitch_.step();
        amplitude_.step();
        click_.step();
    }
    return amplitude_.value() > kSilent;
}

SnareVoice::SnareVoice(float gain, uint32_t seed) : gain_(gain), noise_(seed) {}

bool SnareVoice::render(const MixBus& bus, int from, int to) {
    static const Placement placement{panAt(0.05f), 0.22f, 0};
    for (int i = from; i < to; ++i) {
        const float shell = (0.6f * low_.next(185) + 0.3f * high_.next(330)) * shell_.value();
        const float rattle = 0.7f * wires_.process(noise_.next()) * rattle_.value();
        placement.add(bus, i, (shell + rattle) * gain_);
        shell_.step();
        rattle_.step();
    }
    return rattle_.value() > kSilent;
}

ClapVoice::ClapVoice(float gain, uint32_t seed) : gain_(gain), noise_(seed) {}

bool ClapVoice::render(const MixBus& bus, int from, int to) {
    static const Placement placement{panAt(-0.15f), 0.35f, 0};
    constexpr int kBurst = kSampleRate * 11 / 1000;
    constexpr int kBursts = 3;
    for (int i = from; i < to; ++i, ++age_) {
        const bool bursting = age_ < kBursts * kBurst;
        if (bursting && age_ % kBurst == 0) burst_.restart();
        band_.process(noise_.next());
        placement.add(bus, i, 1.6f * band_.bandpass() * (bursting ? burst_.value() : tail_.value()) * gain_);
        if (bursting) {
            burst_.step();
        } else {
            tail_.step();
        }
    }
    return tail_.value() > kSilent;
}

TomVoice::TomVoice(float gain, float frequency, float pan, uint32_t seed)
    : gain_(gain), frequency_(frequency), placement_{panAt(pan), 0.2f, 0}, noise_(seed) {}

bool TomVoice::render(const MixBus& bus, int from, int to) {
    for (int i = from; i < to; ++i) {
        const float tone = body_.next(frequency_ * (1 + 0.6f * bend_.value())) * amplitude_.value();
        placement_.add(bus, i, (tone + 0.15f * stick_.value() * noise_.next()) * gain_);
        bend_.step();
        amplitude_.step();
        stick_.step();
    }
    return amplitude_.value() > kSilent;
}

CymbalVoice::CymbalVoice(float gain, float cutoff, float decay, float pan, uint32_t seed)
    : gain_(gain), placement_{panAt(pan), 0.12f, 0}, noise_(seed), filter_(cutoff, 0.7f), amplitude_(decay) {}

bool CymbalVoice::render(const MixBus& bus, int from, int to) {
    for (int i = from; i < to; ++i) {
        filter_.process(noise_.next());
        placement_.add(bus, i, (filter_.highpass() + 0.5f * filter_.bandpass()) * amplitude_.value() * gain_);
        amplitude_.step();
    }
    return amplitude_.value() > kSilent;
}

}  // namespace show_data

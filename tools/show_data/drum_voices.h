#pragma once

#include <cstdint>

#include "tools/show_data/voice.h"

namespace show_data {

// A sine whose pitch falls fast, with a click of noise on top.
class KickVoice : public Voice {
public:
    KickVoice(float gain, uint32_t seed);
    bool render(const MixBus& bus, int from, int to) override;

private:
    float gain_;
    Noise noise_;
    Sine body_;
    Decay pitch_{0.03f}, amplitude_{0.2f}, click_{0.002f};
};

// Two short tones for the shell and a longer burst of noise for the wires.
class SnareVoice : public Voice {
public:
    SnareVoice(float gain, uint32_t seed);
    bool render(const MixBus& bus, int from, int to) override;

private:
    float gain_;
    Noise noise_;
    OnePoleHighpass wires_{1200};
    Sine low_, high_;
    Decay shell_{0.045f}, rattle_{0.13f};
};

// Three quick bursts of band-passed noise and a short tail.
class ClapVoice : public Voice {
public:
    ClapVoice(float gain, uint32_t seed);
    bool render(const MixBus& bus, int from, int to) override;

private:
    float gain_;
    Noise noise_;
    Svf band_{1200, 1.2f};
    Decay burst_{0.004f}, tail_{0.12f};
    int age_ = 0;
};

// A tuned membrane: a sine falling into its pitch.
class TomVoice : public Voice {
public:
    TomVoice(float gain, float frequency, float pan, uint32_t seed);
    bool render(const MixBus& bus, int from, int to) override;

private:
    float gain_;
    float frequency_;
    Placement placement_;
    Noise noise_;
    Sine body_;
    Decay bend_{0.05f}, amplitude_{0.22f}, stick_{0.01f};
};

// High-passed noise: closed and open hats, and the crash with a long decay.
class CymbalVoice : public Voice {
public:
    CymbalVoice(float gain, float cutoff, float decay, float pan, uint32_t seed);
    bool render(const MixBus& bus, int from, int to) override;

private:
    float gain_;
    Placement placement_;
    Noise noise_;
    Svf filter_;
    Decay amplitude_;
};

}  // namespace show_data

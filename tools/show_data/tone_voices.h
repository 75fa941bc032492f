#pragma once

#include <cstdint>

#include "tools/show_data/voice.h"

namespace show_data {

// A sawtooth through a lowpass that closes after the attack, over a sine at
// the note.
class BassVoice : public Voice {
public:
    BassVoice(int note, float gain);
    bool render(const MixBus& bus, int from, int to) override;
    void release() override { envelope_.release(); }

private:
    float gain_;
    float frequency_;
    Saw saw_;
    Sine sub_;
    Svf filter_;
    Adsr envelope_{0.004f, 0.3f, 0.7f, 0.07f};
    Decay brightness_{0.12f};
    int age_ = 0;
};

// Three detuned sawtooths spread across the stereo field, softly filtered,
// swelling in and out.
class PadVoice : public Voice {
public:
    PadVoice(int note, float gain, uint32_t seed);
    bool render(const MixBus& bus, int from, int to) override;
    void release() override { envelope_.release(); }

private:
    float gain_;
    Saw left_, centre_, right_;
    Svf leftFilter_, rightFilter_;
    Adsr envelope_{0.5f, 1.2f, 0.75f, 0.5f};
};

// A bright plucked string: a sawtooth and its octave through a lowpass
// that closes fast, panned by pitch and sent to the echo.
class PluckVoice : public Voice {
public:
    PluckVoice(int note, float gain, uint32_t seed);
    bool render(const MixBus& bus, int from, int to) override;
    void release() override { released_ = true; }

private:
    float gain_;
    Placement placement_;
    Saw fundamental_, octave_;
    Svf filter_;
    Decay brightness_{0.07f}, ring_{0.35f}, damping_{0.06f};
    bool released_ = false;
    int age_ = 0;
};

// Two detuned sawtooths over a sine an octave below, with vibrato that
// comes in as the note is held.
class LeadVoice : public Voice {
public:
    LeadVoice(int note, float gain, uint32_t seed);
    bool render(const MixBus& bus, int from, int to) override;
    void release() override { envelope_.release(); }

private:
    float gain_;
    float frequency_;
    float upperFrequency_, lowerFrequency_;
    Saw upper_, lower_;
    Sine sub_, vibrato_;
    Svf filter_;
    Adsr envelope_{0.015f, 0.4f, 0.75f, 0.3f};
    int age_ = 0;
};

}  // namespace show_data

#pragma once

#include <array>
#include <cstdint>
#include <future>
#include <span>
#include <vector>

#include "tools/show_data/effects.h"
#include "tools/show_data/ensemble.h"
#include "tools/show_data/midi_message.h"

namespace show_data {

// Plays a MIDI recording on the show's instruments and mixes them through
// a reverb and an echo timed to the beat, into 44100 Hz 16-bit stereo, the
// same samples on every run. The instruments render in a few ensembles on
// threads of their own, a block ahead of the mix.
class Synth {
public:
    static constexpr int kBlockFrames = 32768;

    Synth(const std::vector<TimedMidiMessage>& messages, int quarterMs);
    Synth(const Synth&) = delete;
    Synth& operator=(const Synth&) = delete;

    // The next kBlockFrames frames, interleaved: two values a frame. Valid
    // until the next call.
    std::span<const int16_t> next();

private:
    using Mixes = std::vector<EnsembleMix>;

    void startRendering(Mixes& mixes);
    void mix(const Mixes& mixes);

    std::vector<Ensemble> ensembles_;
    std::array<Mixes, 2> mixes_;
    std::size_t ready_ = 0;
    Reverb reverb_;
    PingPongEcho echo_;
    std::vector<int16_t> pcm_;
    // Last, so that the renders in flight finish before the rest goes.
    std::vector<std::future<void>> rendering_;
};

}  // namespace show_data

#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "tools/show_data/midi_message.h"
#include "tools/show_data/voice.h"

namespace show_data {

// One block of what an ensemble plays: dry stereo and the two sends.
struct EnsembleMix {
    std::vector<float> left, right, reverb, echo;
};

// The voices of some of the show's instruments (see instruments.h): every
// note-on starts a voice on the sample of its time, note-offs release them.
// An ensemble mixes into a block of its own, so that ensembles can render
// side by side on separate threads.
class Ensemble {
public:
    // `messages`: the notes this ensemble plays, in time order.
    explicit Ensemble(std::vector<TimedMidiMessage> messages);

    // Mixes the next `frames` samples into `mix`, which then holds just them.
    void render(int frames, EnsembleMix& mix);

private:
    struct SoundingVoice {
        int channel;
        int note;
        bool released;
        std::unique_ptr<Voice> voice;
    };

    void renderVoices(const MixBus& bus, int from, int to);
    void handle(uint32_t message);
    void releaseVoices(int channel, int note);

    std::vector<TimedMidiMessage> messages_;
    std::size_t nextMessage_ = 0;
    int64_t frame_ = 0;
    uint32_t voicesStarted_ = 0;
    std::vector<SoundingVoice> voices_;
};

}  // namespace show_data

#include "tools/show_data/ensemble.h"

#include <algorithm>

#include "tools/show_data/drum_voices.h"
#include "tools/show_data/instruments.h"
#include "tools/show_data/tone_voices.h"

namespace show_data {

namespace {

int64_t frameAt(int32_t ms) { return static_cast<int64_t>(ms) * kSampleRate / 1000; }

// The instrument that plays the note; null for notes no instrument has.
std::unique_ptr<Voice> makeVoice(int channel, int note, int velocity, uint32_t seed) {
    const float gain = velocity / 127.0f;
    switch (channel) {
        case channel::kBass: return std::make_unique<BassVoice>(note, gain);
        case channel::kPad: return std::make_unique<PadVoice>(note, gain, seed);
        case channel::kPluck: return std::make_unique<PluckVoice>(note, gain, seed);
        case channel::kLead: return std::make_unique<LeadVoice>(note, gain, seed);
        case channel::kDrums: break;
        default: return nullptr;
    }
    switch (note) {
        case drum::kKick: return std::make_unique<KickVoice>(0.8f * gain, seed);
        case drum::kSnare: return std::make_unique<SnareVoice>(0.5f * gain, seed);
        case drum::kClap: return std::make_unique<ClapVoice>(0.45f * gain, seed);
        case drum::kFloorTom: return std::make_unique<TomVoice>(0.6f * gain, 78, -0.3f, seed);
        case drum::kLowTom: return std::make_unique<TomVoice>(0.55f * gain, 110, 0.25f, seed);
        case drum::kClosedHat: return std::make_unique<CymbalVoice>(0.22f * gain, 8000, 0.025f, 0.3f, seed);
        case drum::kOpenHat: return std::make_unique<CymbalVoice>(0.18f * gain, 7000, 0.22f, 0.3f, seed);
        case drum::kCrash: return std::make_unique<CymbalVoice>(0.2f * gain, 4500, 0.9f, -0.2f, seed);
        default: return nullptr;
    }
}

}  // namespace

Ensemble::Ensemble(std::vector<TimedMidiMessage> messages) : messages_(std::move(messages)) {}

void Ensemble::render(int frames, EnsembleMix& mix) {
    for (std::vector<float>* buffer : {&mix.left, &mix.right, &mix.reverb, &mix.echo}) buffer->assign(frames, 0.0f);
    const MixBus bus{mix.left.data(), mix.right.data(), mix.reverb.data(), mix.echo.data()};

    // Voices start and stop on the sample of their message.
    int rendered = 0;
    while (nextMessage_ < messages_.size()) {
        const int64_t due = frameAt(messages_[nextMessage_].time) - frame_;
        if (due >= frames) break;
        const int at = static_cast<int>(std::max<int64_t>(due, rendered));
        renderVoices(bus, rendered, at);
        rendered = at;
        handle(messages_[nextMessage_++].message);
    }
    renderVoices(bus, rendered, frames);
    frame_ += frames;
}

void Ensemble::renderVoices(const MixBus& bus, int from, int to) {
    if (from >= to) return;
    std::erase_if(voices_, [&](SoundingVoice& sounding) { return !sounding.voice->render(bus, from, to); });
}

void Ensemble::handle(uint32_t message) {
    const int kind = midi::kindOf(message);
    const int channel = midi::channelOf(message);
    const int note = midi::data1Of(message);
    if (kind == 0x90 && midi::data2Of(message) > 0) {
        std::unique_ptr<Voice> voice = makeVoice(channel, note, midi::data2Of(message), ++voicesStarted_);
        if (voice) voices_.push_back({channel, note, false, std::move(voice)});
    } else if (kind == 0x80 || kind == 0x90) {
        releaseVoices(channel, note);
    }
}

void Ensemble::releaseVoices(int channel, int note) {
    for (SoundingVoice& sounding : voices_) {
        if (sounding.channel == channel && sounding.note == note && !sounding.released) {
            sounding.voice->release();
            sounding.released = true;
        }
    }
}

}  // namespace show_data

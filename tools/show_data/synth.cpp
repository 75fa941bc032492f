#include "tools/show_data/synth.h"

#include <algorithm>
#include <cmath>

#include "tools/show_data/instruments.h"

namespace show_data {

namespace {

constexpr float kEchoFeedback = 0.4f;
constexpr float kReverbReturn = 1.0f;
constexpr float kEchoReturn = 0.7f;
constexpr float kMasterGain = 0.9f;
// Above this the master bends smoothly towards full scale instead of
// clipping.
constexpr float kKnee = 0.75f;

// The notes of one instrument within a range.
struct NoteRange {
    int channel;
    int lowestNote = 0;
    int highestNote = 127;

    bool plays(uint32_t message) const {
        const int note = midi::data1Of(message);
        return midi::channelOf(message) == channel && note >= lowestNote && note <= highestNote;
    }
};

// What renders together, chosen so that the ensembles take about equally
// long; the pad, dearest of all, is split by register.
const std::vector<std::vector<NoteRange>> kEnsembles = {
    {{channel::kPad, 0, 59}, {channel::kDrums}},
    {{channel::kPad, 60, 127}, {channel::kBass}},
    {{channel::kLead}, {channel::kPluck}},
};

float limit(float x) {
    const float magnitude = std::fabs(x);
    if (magnitude <= kKnee) return x;
    const float bent = kKnee + (1 - kKnee) * std::tanh((magnitude - kKnee) / (1 - kKnee));
    return std::copysign(bent, x);
}

int16_t toPcm(float x) { return static_cast<int16_t>(std::lrint(limit(x * kMasterGain) * 32000.0f)); }

std::vector<TimedMidiMessage> notesOf(const std::vector<TimedMidiMessage>& messages, const std::vector<NoteRange>& ranges) {
    std::vector<TimedMidiMessage> notes;
    for (const TimedMidiMessage& entry : messages) {
        const int kind = midi::kindOf(entry.message);
        if (kind != 0x80 && kind != 0x90) continue;
        if (std::any_of(ranges.begin(), ranges.end(), [&](const NoteRange& range) { return range.plays(entry.message); })) {
            notes.push_back(entry);
        }
    }
    return notes;
}

}  // namespace

Synth::Synth(const std::vector<TimedMidiMessage>& messages, int quarterMs)
    : echo_(quarterMs * 3 / 4 * kSampleRate / 1000, kEchoFeedback), pcm_(2 * kBlockFrames) {
    for (const std::vector<NoteRange>& ranges : kEnsembles) ensembles_.emplace_back(notesOf(messages, ranges));
    for (Mixes& mixes : mixes_) mixes.resize(ensembles_.size());
    startRendering(mixes_[ready_]);
}

std::span<const int16_t> Synth::next() {
    for (std::future<void>& ensemble : rendering_) ensemble.get();
    const Mixes& mixes = mixes_[ready_];
    ready_ = 1 - ready_;
    startRendering(mixes_[ready_]);
    mix(mixes);
    return pcm_;
}

void Synth::startRendering(Mixes& mixes) {
    rendering_.clear();
    for (std::size_t i = 0; i < ensembles_.size(); ++i) {
        rendering_.push_back(std::async(std::launch::async, [this, &mixes, i] { ensembles_[i].render(kBlockFrames, mixes[i]); }));
    }
}

void Synth::mix(const Mixes& mixes) {
    for (int i = 0; i < kBlockFrames; ++i) {
        float left = 0, right = 0, reverb = 0, echo = 0;
        for (const EnsembleMix& ensemble : mixes) {
            left += ensemble.left[i];
            right += ensemble.right[i];
            reverb += ensemble.reverb[i];
            echo += ensemble.echo[i];
        }
        float reverbLeft = 0, reverbRight = 0, echoLeft = 0, echoRight = 0;
        reverb_.process(reverb, reverbLeft, reverbRight);
        echo_.process(echo, echoLeft, echoRight);
        pcm_[2 * i] = toPcm(left + kReverbReturn * reverbLeft + kEchoReturn * echoLeft);
        pcm_[2 * i + 1] = toPcm(right + kReverbReturn * reverbRight + kEchoReturn * echoRight);
    }
}

}  // namespace show_data

#include "framework/midi/midi_input.h"

#include <memory>

#include "engine/streams/stream.h"
#include "framework/files/file_system.h"
#include "framework/clock/timer.h"

namespace {

constexpr int kBankSelectController = 32;
constexpr uint32_t kClock = 0xF8;
constexpr uint32_t kStart = 0xFA;
constexpr uint32_t kStop = 0xFC;

struct ReleaseStream {
    void operator()(zentac::Stream* stream) const { stream->Release(); }
};

}  // namespace

MidiInput& MidiInput::instance() {
    static MidiInput input;
    return input;
}

MidiInput::MidiInput() = default;

void MidiInput::resetToStart() {
    ring_.drain([](uint32_t) {});
    dropped_ = 0;
    clock_ = PatternClock();
    listeners_ = NoteListenerTable();
    recording_.clear();
    replayIndex_ = 0;
}

void MidiInput::open(int device) {
    device_.open(device, [this](uint32_t message) { enqueue(message); });
}

bool MidiInput::loadRecording(const std::string& path) {
    std::unique_ptr<zentac::Stream, ReleaseStream> stream(FileSystem::instance().open(path));
    if (!stream) return false;
    const int32_t size = stream->Size();
    std::vector<char> text(size > 0 ? static_cast<std::size_t>(size) : 0);
    const int32_t read = text.empty() ? 0 : stream->Read(text.data(), size);
    recording_ = parseMidiRecording(text.data(), read > 0 ? static_cast<std::size_t>(read) : 0);
    replayIndex_ = 0;
    return true;
}

void MidiInput::update() {
    replayDue();
    ring_.drain([this](uint32_t message) { handleMessage(message); });
}

void MidiInput::replayDue() {
    const int32_t now = Timer::instance().getTime();
    while (replayIndex_ < recording_.size() && recording_[replayIndex_].time <= now) {
        // A full ring takes the rest in later frames, as it drains.
        if (!ring_.push(recording_[replayIndex_].message)) return;
        ++replayIndex_;
    }
}

void MidiInput::setPatternShape(int pattern, int stepsPerQuarter, int stepsPerBar, int bars) {
    clock_.setShape(pattern, stepsPerQuarter, stepsPerBar, bars);
}

void MidiInput::addNoteListener(int pattern, int note, int step, MidiPatternListener* listener) {
    listeners_.add(pattern, note, step, listener);
}

void MidiInput::setPatternHandler(int pattern, MidiPatternListener* handler) { clock_.setHandler(pattern, handler); }

void MidiInput::enqueue(uint32_t message) {
    if (!ring_.push(message)) ++dropped_;
}

void MidiInput::handleMessage(uint32_t message) {
    const int first = static_cast<int>((message >> 8) & 0xFF);
    const int second = static_cast<int>((message >> 16) & 0xFF);
    switch ((message >> 4) & 0x0F) {
    case 0x9: listeners_.notify(clock_.pattern(), first, clock_.step()); return;
    case 0xB:
        if (first == kBankSelectController) clock_.bankSelect(second);
        return;
    case 0xC: clock_.programChange(first); return;
    default: break;
    }
    // System real-time messages count only as the bare status word.
    switch (message) {
    case kClock: clock_.tick(); return;
    case kStart: clock_.start(); return;
    case kStop: clock_.stop(); return;
    default: return;
    }
}

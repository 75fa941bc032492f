#include "framework/midi/pattern_clock.h"

#include <cstdint>

#include "engine/core/exception.h"

namespace {

constexpr int kTicksPerQuarter = 24;

void checkPattern(int pattern) {
    if (pattern < 0 || pattern >= midi_table::kPatterns) ZENTAC_THROW("MIDI pattern outside the pattern tables");
}

int stepsOf(const PatternShape& shape) { return shape.stepsPerBar * shape.bars; }

}  // namespace

PatternClock::PatternClock() { setShape(1, 4, 16, 2); }

void PatternClock::setShape(int pattern, int stepsPerQuarter, int stepsPerBar, int bars) {
    checkPattern(pattern);
    if (stepsPerQuarter < 1 || stepsPerBar < 1 || bars < 1 ||
        static_cast<int64_t>(stepsPerBar) * bars > midi_table::kSteps) {
        ZENTAC_THROW("MIDI pattern shape outside what the pattern tables hold");
    }
    shapes_[pattern] = {stepsPerQuarter, stepsPerBar, bars};
}

void PatternClock::setHandler(int pattern, MidiPatternListener* handler) {
    checkPattern(pattern);
    handlers_[pattern] = handler;
}

void PatternClock::bankSelect(int value) {
    bankOffset_ = (value & 1) ? 128 : 0;
    bankSeen_ = true;
    commitSelection();
}

void PatternClock::programChange(int program) {
    if (program < 0 || program > 127) return;
    program_ = program;
    programSeen_ = true;
    commitSelection();
}

void PatternClock::commitSelection() {
    if (!bankSeen_ || !programSeen_) return;
    pending_ = bankOffset_ + program_;
    if (!running_ && handlers_[pending_] != nullptr) handlers_[pending_]->onSelect(pending_);
    bankSeen_ = programSeen_ = false;
}

void PatternClock::start() {
    // A second start with nothing selected in between restarts the current
    // pattern, as a start after a stop does.
    begin(pending_ >= 0 ? pending_ : current_);
    // The first tick after a start is due at once and moves to step 0.
    ticks_ = kTicksPerQuarter;
    running_ = true;
    step_ = -1;
}

void PatternClock::stop() {
    pending_ = current_;
    ticks_ = 0;
    running_ = false;
}

void PatternClock::tick() {
    if (!running_) return;
    ++ticks_;
    if (ticks_ >= kTicksPerQuarter / shapes_[current_].stepsPerQuarter) {
        advanceStep();
        ticks_ = 0;
    }
}

void PatternClock::advanceStep() {
    ++step_;
    if (step_ < stepsOf(shapes_[current_])) return;
    step_ = 0;
    if (pending_ >= 0) begin(pending_);
}

void PatternClock::begin(int pattern) {
    if (handlers_[pattern] != nullptr) handlers_[pattern]->onStart(pattern);
    current_ = pattern;
    pending_ = -1;
}

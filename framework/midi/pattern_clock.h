#pragma once

#include <array>

#include "framework/midi/midi_pattern_listener.h"
#include "framework/midi/midi_table_size.h"

// The step grid of one pattern: a step lasts 24 / stepsPerQuarter MIDI clock
// ticks, and the pattern stepsPerBar * bars steps.
struct PatternShape {
    int stepsPerQuarter = 8;
    int stepsPerBar = 16;
    int bars = 4;
};

// Counts MIDI clock ticks into steps of the current pattern and chooses the
// next pattern by bank select and program change. Stopped at first, on
// pattern 0 with no step yet (-1). A pattern selected while stopped plays
// from the next start; one selected while running takes over when the
// current pattern wraps.
class PatternClock {
public:
    PatternClock();

    // Throws unless 0 <= pattern < 256, stepsPerQuarter, stepsPerBar and bars
    // are at least 1 and the pattern has at most 65 steps.
    void setShape(int pattern, int stepsPerQuarter, int stepsPerBar, int bars);
    // Null takes the pattern's handler away. Throws for a pattern outside the
    // tables.
    void setHandler(int pattern, MidiPatternListener* handler);

    // Controller 32: bit 0 of the value chooses the upper 128 patterns.
    void bankSelect(int value);
    // Programs outside 0..127 are not MIDI data and select nothing.
    void programChange(int program);
    void tick();
    void start();
    void stop();

    int pattern() const { return current_; }
    // -1 until the first tick after a start.
    int step() const { return step_; }
    bool isRunning() const { return running_; }
    // The pattern that the next start or pattern end makes current; -1 none.
    int pendingPattern() const { return pending_; }

private:
    void commitSelection();
    void advanceStep();
    void begin(int pattern);

    std::array<PatternShape, midi_table::kPatterns> shapes_{};
    std::array<MidiPatternListener*, midi_table::kPatterns> handlers_{};
    int ticks_ = 0;
    int step_ = -1;
    int current_ = 0;
    int pending_ = 0;
    bool running_ = false;
    bool bankSeen_ = false;
    int bankOffset_ = 0;
    bool programSeen_ = false;
    int program_ = 0;
};

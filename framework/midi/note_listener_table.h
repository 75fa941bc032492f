#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "framework/midi/midi_pattern_listener.h"

// The note listeners of every (pattern, note, step) cell, in registration
// order. Only cells that have listeners take memory. Listeners are not
// owned.
class NoteListenerTable {
public:
    // Throws when an index lies outside the tables or the listener is null.
    void add(int pattern, int note, int step, MidiPatternListener* listener);
    // Calls onNote on each listener of the cell; a cell outside the tables
    // (a step of -1 before the clock has stepped, a data byte above 127) has
    // none.
    void notify(int pattern, int note, int step);

private:
    std::unordered_map<uint32_t, std::vector<MidiPatternListener*>> cells_;
};

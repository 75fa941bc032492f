#pragma once

#include <vector>

#include "tools/show_data/midi_message.h"

namespace show_data {

// Collects the messages of a piece on the grid of the MIDI clock (24 ticks a
// quarter note) and times them at a fixed tempo. Messages on one tick go out
// in the order a sequencer sends them: note-offs, start, clock, stop,
// pattern selection, note-ons. So a note on a pattern step follows the clock
// tick that begins the step, and a start comes just before its first tick.
class ScoreWriter {
public:
    explicit ScoreWriter(int quarterMs) : quarterMs_(quarterMs) {}

    // A note-on at `tick` and its note-off `lengthTicks` later.
    void note(int channel, int tick, int note, int velocity, int lengthTicks);
    // A drum hit: a note-on alone, as drum machines send it.
    void hit(int channel, int tick, int note, int velocity);
    // Bank select (controller 32) and program change: pattern 0-127 in bank
    // 0, 128-255 in bank 1.
    void selectPattern(int tick, int pattern);
    void start(int tick);
    void stop(int tick);
    // One clock message on every tick in [fromTick, toTick).
    void clock(int fromTick, int toTick);

    int msAt(int tick) const;
    // Everything written, in sending order.
    std::vector<TimedMidiMessage> messages() const;

private:
    // Sending order of messages that share a tick.
    enum class Order { NoteOff, Start, Clock, Stop, Select, NoteOn };
    struct Entry {
        int tick;
        Order order;
        uint32_t message;
    };

    void add(int tick, Order order, uint32_t message);

    int quarterMs_;
    std::vector<Entry> entries_;
};

}  // namespace show_data

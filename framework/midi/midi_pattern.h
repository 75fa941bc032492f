#pragma once

#include <vector>

#include "framework/midi/midi_pattern_listener.h"

class MidiInput;

// How a scene listens to one MIDI pattern: its step grid, the note
// listeners by note and step, and the handler told of its selection and
// start. Built by the scene, then handed to MidiInput with applyTo. The
// listeners are not owned.
class MidiPattern {
public:
    MidiPattern(int pattern, int stepsPerQuarter, int stepsPerBar, int bars);

    // A note of -1 stands for every note 0..127 and a step of -1 for every
    // step 0..63; bindings go in notes ascending, then steps ascending.
    void addNote(MidiPatternListener* listener, int note, int step);
    void setHandler(MidiPatternListener* handler) { handler_ = handler; }
    // The shape, then the bindings in order, then the handler when there is
    // one. Throws, as MidiInput does, for what lies outside its tables.
    void applyTo(MidiInput& input) const;

private:
    struct NoteBinding {
        MidiPatternListener* listener;
        int note;
        int step;
    };

    int pattern_;
    int stepsPerQuarter_;
    int stepsPerBar_;
    int bars_;
    std::vector<NoteBinding> bindings_;
    MidiPatternListener* handler_ = nullptr;
};

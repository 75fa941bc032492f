#pragma once

// What MIDI input tells the objects registered with it. Note listeners hear
// note-ons per (pattern, note, step); a pattern's handler hears when its
// pattern is selected and when it starts. Everything arrives on the main
// thread, inside MidiInput::update.
class MidiPatternListener {
public:
    virtual ~MidiPatternListener() = default;

    // A note-on arrived while `pattern` was current, at `step`.
    virtual void onNote(int pattern, int note, int step) = 0;
    // `pattern` was selected while the clock stood; it plays from the next
    // start.
    virtual void onSelect(int pattern) = 0;
    // `pattern` starts now: at a MIDI start or at the end of the pattern
    // before it.
    virtual void onStart(int pattern) = 0;
};

#pragma once

// Everything that a key, a MIDI message, a replayed event or a time line can
// fire.
class Triggerable {
public:
    virtual ~Triggerable() = default;
    virtual void trigger(int value) = 0;
    virtual void trigger() { trigger(0); }
};

// framework/triggers: what can fire (Trigger) and what can be fired (Triggerable); uses nothing else.
#pragma once

// Something that can fire: a key, a MIDI message, a time, a sound level.
// Ids count every trigger of every kind in construction order; the event
// list stores them, so the order in which scenes bind fixes their meaning.
class Trigger {
public:
    Trigger();
    virtual ~Trigger() = default;
    Trigger(const Trigger&) = delete;
    Trigger& operator=(const Trigger&) = delete;
    // Ids count from 0 again, as in a fresh process (test programs run many
    // cases in one).
    static void resetIds();

    // Hits since the last poll.
    virtual int poll() = 0;
    // What one hit passes to its action: the trigger's id, the same number
    // for every hit.
    virtual int value() = 0;
    // Called by the listener maps when the trigger's key or message arrives.
    virtual void hit() {}

    int getId() const { return id_; }

private:
    int id_;
};

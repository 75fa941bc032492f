#pragma once

#include <map>
#include <vector>

class Trigger;
struct MidiKey;

// A scene's map from MIDI key to the triggers that wait for it. Keys are
// interned, so the key's address stands for its kind.
class MidiListeners {
public:
    void add(const MidiKey* key, Trigger* trigger);
    // One hit on each trigger of the key, in registration order.
    void dispatch(const MidiKey* key);

private:
    std::map<const MidiKey*, std::vector<Trigger*>> listeners_;
};

#include "framework/midi/midi_listeners.h"

#include "framework/triggers/trigger.h"

void MidiListeners::add(const MidiKey* key, Trigger* trigger) { listeners_[key].push_back(trigger); }

void MidiListeners::dispatch(const MidiKey* key) {
    auto found = listeners_.find(key);
    if (found == listeners_.end()) return;
    for (Trigger* trigger : found->second) trigger->hit();
}

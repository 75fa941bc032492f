#include "framework/input/keyboard_listeners.h"

#include "framework/triggers/trigger.h"

void KeyboardListeners::add(int8_t scanCode, Trigger* trigger) { listeners_[scanCode].push_back(trigger); }

void KeyboardListeners::dispatch(int8_t scanCode) {
    auto found = listeners_.find(scanCode);
    if (found == listeners_.end()) return;
    for (Trigger* trigger : found->second) trigger->hit();
}

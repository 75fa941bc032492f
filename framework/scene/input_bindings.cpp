#include "framework/scene/input_bindings.h"

#include "framework/input/event_recorder.h"
#include "framework/scene/key_trigger.h"
#include "framework/scene/midi_trigger.h"
#ifndef VORN_EARLY
#include "framework/audio/sound_level_trigger.h"
#endif
#include "framework/clock/timed_trigger.h"
#include "framework/triggers/triggerable.h"

namespace {

constexpr int midiClock = 0xF8;
constexpr int midiStop = 0xFC;

}  // namespace

InputBindings::InputBindings() = default;
InputBindings::~InputBindings() = default;

void InputBindings::bindMidiClock(Triggerable* action) {
    bind(std::make_unique<MidiTrigger>(0, std::vector<int>{0}, midiClock, 0), action);
}

void InputBindings::bindMidiStop(Triggerable* action) {
    bind(std::make_unique<MidiTrigger>(0, std::vector<int>{0}, midiStop, 0), action);
}

void InputBindings::bindTimed(Triggerable* action, const std::vector<int>& times) {
    bind(std::make_unique<TimedTrigger>(times), action);
}

void InputBindings::bindMidi(Triggerable* action, int channel, const std::vector<int>& data, int status, int sign) {
    bind(std::make_unique<MidiTrigger>(channel, data, status, sign), action);
}

void InputBindings::bindKeys(Triggerable* action, const std::vector<int>& keyCodes) {
    bind(std::make_unique<KeyTrigger>(keyCodes), action);
}

#ifndef VORN_EARLY
void InputBindings::bindSoundLevel(Triggerable* action, float threshold, float from, float to) {
    bind(std::make_unique<SoundLevelTrigger>(threshold, from, to), action);
}
#endif

void InputBindings::bind(std::unique_ptr<Trigger> trigger, Triggerable* action) {
    int id = trigger->getId();
    bindings_[id] = Binding{std::move(trigger), action};
}

Triggerable* InputBindings::actionFor(int triggerId) const {
    auto found = bindings_.find(triggerId);
    return found == bindings_.end() ? nullptr : found->second.action;
}

void InputBindings::update() {
    if (playback_) {
        replayDueEvents();
    } else {
        fireLiveTriggers();
    }
}

void InputBindings::fireLiveTriggers() {
    for (auto& [id, binding] : bindings_) {
        for (int hits = binding.trigger->poll(); hits > 0; --hits) {
            int value = binding.trigger->value();
            if (recording_) EventRecorder::instance().record(value, id);
            binding.action->trigger(value);
        }
    }
}

// The recorder's read position is shared by every scene: whichever scene is
// current when an event falls due consumes it, and an id bound elsewhere does
// nothing. An action that switches scenes resets the clock, and the loop goes
// on against the new scene time.
void InputBindings::replayDueEvents() {
    EventRecorder& recorder = EventRecorder::instance();
    while (recorder.due()) {
        if (Triggerable* action = actionFor(recorder.next())) action->trigger(0);
    }
}

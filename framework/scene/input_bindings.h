#pragma once

#include <map>
#include <memory>
#include <vector>

class Trigger;
class Triggerable;

// A scene's controls: each binding is a trigger it made and the action the
// trigger fires. Bindings are kept in trigger-id order, so triggers fire in
// the order they were made.
class InputBindings {
public:
    InputBindings();
    ~InputBindings();
    InputBindings(const InputBindings&) = delete;
    InputBindings& operator=(const InputBindings&) = delete;

    void bindMidiClock(Triggerable* action);
    void bindMidiStop(Triggerable* action);
    void bindTimed(Triggerable* action, const std::vector<int>& times);
    void bindMidi(Triggerable* action, int channel, const std::vector<int>& data, int status, int sign);
    void bindKeys(Triggerable* action, const std::vector<int>& keyCodes);
#ifndef VORN_EARLY
    // Fires while the band's level of the recorded sound reaches threshold.
    void bindSoundLevel(Triggerable* action, float threshold, float from, float to);
#endif

    // Live firings are also logged to the event recorder.
    void setRecording() { recording_ = true; }
    // The triggers are no longer polled; the recorded events fire instead.
    void setPlayback() { playback_ = true; }
    bool isRecording() const { return recording_; }
    bool isPlayback() const { return playback_; }

    // The action of the trigger with this id, or null when none here has it.
    Triggerable* actionFor(int triggerId) const;

    // Once per frame, after the clock has moved.
    void update();

private:
    struct Binding {
        std::unique_ptr<Trigger> trigger;
        Triggerable* action;
    };

    void bind(std::unique_ptr<Trigger> trigger, Triggerable* action);
    void fireLiveTriggers();
    void replayDueEvents();

    std::map<int, Binding> bindings_;
    bool recording_ = false;
    bool playback_ = false;
};

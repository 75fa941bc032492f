// framework/scene: scenes, their manager, bindings and controls; uses every framework room below video.
#pragma once

#include "framework/scene/render_context.h"

#include <memory>
#include <span>
#include <vector>

class ClampedValue;
class InputBindings;
class MidiControllerLayout;
class Triggerable;

// Runs in place of a scene whose entry point failed (when one is set).
class SceneFallback {
public:
    virtual ~SceneFallback() = default;
    virtual void run() = 0;
};

// Optionally told about mouse clicks while its scene runs.
class ClickReceiver {
public:
    virtual ~ClickReceiver() = default;
    virtual void idle(int x, int y) = 0;
    virtual void click(int x, int y) = 0;
};

// One self-contained part of the show: loaded once, entered and left when
// the show switches to and from it, updated once per frame while current.
class Scene {
public:
    using ControllerGroup = RenderContext::ControllerGroup;

    Scene();
    virtual ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // Hooks, in the order the manager reaches them.
    virtual void setup();
    virtual void reset();
    virtual void init() {}
    virtual void shutdown() {}
    virtual void activate() {}
    virtual void frame() {}
    virtual void deactivate() {}
    virtual bool isRunning() { return running_; }

    // Entry points. Each turns any failure into the integer 0 (after
    // telling standard error why), unless a fallback is set.
    void load();
    void enter();
    void update();
    void leave();
    void finish();

    void setFallback(SceneFallback* fallback) { fallback_ = fallback; }
    void setClickReceiver(ClickReceiver* receiver) { clickReceiver_ = receiver; }
    void disableDefaultControls() { defaultControls_ = false; }
    bool wantsDefaultControls() const { return defaultControls_; }
    void publishInputContext();

    // Binding helpers over the scene's input bindings. Lists end at their end
    // or at their terminator (0xFF for key codes, a negative time, -1 for
    // MIDI data).
    void bindKey(Triggerable* action, int keyCode);
    void bindKeys(Triggerable* action, const std::vector<int>& keyCodes);
    void bindTimed(Triggerable* action, const std::vector<int>& times);
    void bindMidiClock(Triggerable* action);
    void bindMidiStop(Triggerable* action);
    void bindMidiData(Triggerable* action, int channel, const std::vector<int>& data, int status);
    void bindMidiValue(Triggerable* action, int channel, int data, int status);
    // Two triggers on one controller: up for sign +1, down for sign -1.
    void bindMidi(Triggerable* up, Triggerable* down, int channel, int controller, int status);
#ifndef VORN_EARLY
    // Fires while the band's level of the recorded sound reaches threshold.
    void bindSoundLevel(Triggerable* action, float threshold, float from, float to);
#endif

    void setRecording();
    void setPlayback();

    // A layout set before setup replaces the default one, which has none.
    void setControllerLayout(MidiControllerLayout* layout) { controllerLayout_ = layout; }
    bool hasControllerLayout() const { return controllerLayout_ != nullptr; }
    // Escape (triple press quits), F1..F9 (scenes 0..8), the two shared
    // gains and the layout's controllers.
    void installControls();
    void bindLayoutControllers();
    // The two gains every scene's default controls step, shared by all
    // scenes; they drive the sound analyser when the viewport asks for them.
    static ClampedValue& gainA();
    static ClampedValue& gainB();

    bool isLoaded() const { return loaded_; }
    bool isActivated() const { return activated_; }
    bool isEnabled() const { return enabled_; }

protected:
    KeyboardListeners* keyboardListeners() const { return keyboardListeners_.get(); }

private:
    template <typename Step>
    bool guarded(const char* entryPoint, Step step);
    void forwardClick();
    void updateBindings();
    // The input level and weight of the sound analyser, for this frame.
    void feedSoundAnalyser();
    Triggerable* keep(std::unique_ptr<Triggerable> action);
    void bindControllerGroup(int channel, std::span<const int> controllers, ControllerGroup& group);

    std::unique_ptr<InputBindings> bindings_;
    ClickReceiver* clickReceiver_ = nullptr;
    ControllerGroup controllerGroupA_;
    ControllerGroup controllerGroupB_;
    MidiControllerLayout* controllerLayout_ = nullptr;
    std::unique_ptr<MidiListeners> midiListeners_;
    std::unique_ptr<KeyboardListeners> keyboardListeners_;
    // The actions the default controls made.
    std::vector<std::unique_ptr<Triggerable>> controlActions_;
    bool running_ = false;
    SceneFallback* fallback_ = nullptr;
    bool loaded_ = false;
    bool activated_ = false;
    bool enabled_ = true;
    bool defaultControls_ = true;
};

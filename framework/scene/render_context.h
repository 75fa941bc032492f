#pragma once

#include <memory>
#include <vector>

class ClampedValue;
class FrameBitmap;
class InputBindings;
class KeyboardListeners;
class MidiListeners;

// The switchboard through which the current scene publishes its input
// objects to the key callback and to the trigger constructors.
class RenderContext {
public:
    using ControllerGroup = std::vector<std::unique_ptr<ClampedValue>>;

    static RenderContext& instance();
    // Back to the state of a fresh process (test programs run many cases in one).
    void resetToStart();

    void setMidiListeners(MidiListeners* listeners) { midiListeners_ = listeners; }
    MidiListeners* getMidiListeners() const { return midiListeners_; }
    void setKeyboardListeners(KeyboardListeners* listeners) { keyboardListeners_ = listeners; }
    KeyboardListeners* getKeyboardListeners() const { return keyboardListeners_; }
    void setInputBindings(InputBindings* bindings) { inputBindings_ = bindings; }
    InputBindings* getInputBindings() const { return inputBindings_; }
    void setControllerGroupA(ControllerGroup* group) { controllerGroupA_ = group; }
    void setControllerGroupB(ControllerGroup* group) { controllerGroupB_ = group; }
    // The clamped value of a controller of the current scene's group; 0 for
    // an index outside the group.
    float controllerValueA(int index) const { return controllerValue(controllerGroupA_, index); }
    float controllerValueB(int index) const { return controllerValue(controllerGroupB_, index); }
    void setFrameBitmap(FrameBitmap* bitmap) { frameBitmap_ = bitmap; }
    FrameBitmap* getFrameBitmap() const { return frameBitmap_; }

private:
    RenderContext() = default;
    static float controllerValue(const ControllerGroup* group, int index);

    MidiListeners* midiListeners_ = nullptr;
    KeyboardListeners* keyboardListeners_ = nullptr;
    InputBindings* inputBindings_ = nullptr;
    ControllerGroup* controllerGroupA_ = nullptr;
    ControllerGroup* controllerGroupB_ = nullptr;
    FrameBitmap* frameBitmap_ = nullptr;
};

#pragma once

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
    static RenderContext& instance();

    void setMidiListeners(MidiListeners* listeners) { midiListeners_ = listeners; }
    MidiListeners* getMidiListeners() const { return midiListeners_; }
    void setKeyboardListeners(KeyboardListeners* listeners) { keyboardListeners_ = listeners; }
    KeyboardListeners* getKeyboardListeners() const { return keyboardListeners_; }
    void setInputBindings(InputBindings* bindings) { inputBindings_ = bindings; }
    InputBindings* getInputBindings() const { return inputBindings_; }
    void setControllerGroupA(std::vector<ClampedValue*>* group) { controllerGroupA_ = group; }
    void setControllerGroupB(std::vector<ClampedValue*>* group) { controllerGroupB_ = group; }
    void setFrameBitmap(FrameBitmap* bitmap) { frameBitmap_ = bitmap; }
    FrameBitmap* getFrameBitmap() const { return frameBitmap_; }

private:
    RenderContext() = default;

    MidiListeners* midiListeners_ = nullptr;
    KeyboardListeners* keyboardListeners_ = nullptr;
    InputBindings* inputBindings_ = nullptr;
    std::vector<ClampedValue*>* controllerGroupA_ = nullptr;
    std::vector<ClampedValue*>* controllerGroupB_ = nullptr;
    FrameBitmap* frameBitmap_ = nullptr;
};

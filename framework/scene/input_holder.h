#pragma once

class KeyboardDevice;

// Holds the keyboard device whose key-downs reach the current scene.
class InputHolder {
public:
    static InputHolder& instance();

    void install();
    void release();

private:
    InputHolder() = default;

    KeyboardDevice* device_ = nullptr;
};

// The key callback: hands the scan code to the current scene's listeners.
void forwardKeyToScene(unsigned char scanCode);

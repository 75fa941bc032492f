// framework/input: keyboard, key codes, key listeners, the event list; uses clock, triggers, engine, platform.
#pragma once

#include "engine/core/object.h"

#include <cstdint>

// Key states by scan code, shared by every device. The first device hooks
// the keyboard, the last one unhooks it; each first key-down (not the
// repeats) goes to the one key callback.
class KeyboardDevice : public zentac::Object {
public:
    using KeyCallback = void (*)(uint8_t scanCode);

    KeyboardDevice();
    ~KeyboardDevice() override;

    int getAxisCount() const { return 0; }
    int getKeyCount() const { return 128; }
    float getAxis(int) const { return 0.0f; }
    // keyCode is one of the program's own key codes.
    bool isKeyDown(int keyCode) const;

    static void setKeyCallback(KeyCallback callback);
    // The hook's handling of one key event, with its 7-bit scan code.
    static void hookProc(uint8_t scanCode, bool released);
};

#include "framework/input/keyboard_device.h"

#include "framework/input/key_code_table.h"
#include "platform/keyboard_hook.h"

#include <array>

namespace {

std::array<uint8_t, 256> scanDown{};
int deviceCount = 0;
KeyboardDevice::KeyCallback keyCallback = nullptr;

}  // namespace

KeyboardDevice::KeyboardDevice() {
    if (deviceCount == 0) keyCallback = nullptr;
    ++deviceCount;
    if (!host::keyboardHookInstalled() && deviceCount == 1) {
        scanDown.fill(0);
        host::installKeyboardHook(&KeyboardDevice::hookProc);
    }
}

KeyboardDevice::~KeyboardDevice() {
    if (deviceCount > 0) --deviceCount;
    if (deviceCount == 0 && host::keyboardHookInstalled()) host::removeKeyboardHook();
}

bool KeyboardDevice::isKeyDown(int keyCode) const { return scanDown[KeyCodeTable::scanCode(keyCode)] != 0; }

void KeyboardDevice::setKeyCallback(KeyCallback callback) { keyCallback = callback; }

void KeyboardDevice::hookProc(uint8_t scanCode, bool released) {
    uint8_t scan = scanCode & 0x7F;
    if (released) {
        scanDown[scan] = 0;
        return;
    }
    if (scanDown[scan] == 0 && keyCallback) keyCallback(scan);
    scanDown[scan] = 1;
}

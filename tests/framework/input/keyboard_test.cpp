#include "framework/input/key_code_table.h"
#include "framework/input/keyboard_device.h"
#include "framework/input/keyboard_listeners.h"
#include "framework/triggers/trigger.h"
#include "platform/keyboard_hook.h"

#include <SDL_scancode.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

struct CountingTrigger : Trigger {
    int poll() override { return 0; }
    int value() override { return 0; }
    void hit() override { ++hits; }
    int hits = 0;
};

std::vector<uint8_t> callbacks;
void recordCallback(uint8_t scan) { callbacks.push_back(scan); }

}  // namespace

TEST(KeyCodeTable, MapsOwnCodesToScanCodes) {
    EXPECT_EQ(KeyCodeTable::scanCode(KeyCode::Escape), 0x01);
    EXPECT_EQ(KeyCodeTable::scanCode(KeyCode::F1), 0x3B);
    EXPECT_EQ(KeyCodeTable::scanCode(KeyCode::F1 + 8), 0x43);
    EXPECT_EQ(KeyCodeTable::scanCode(KeyCode::letter('A')), 0x1E);
    EXPECT_EQ(KeyCodeTable::scanCode(KeyCode::letter('Q')), 0x10);
    EXPECT_EQ(KeyCodeTable::scanCode(KeyCode::letter('Z')), 0x2C);
    EXPECT_EQ(KeyCodeTable::scanCode(KeyCode::Space), 0x39);
    EXPECT_EQ(KeyCodeTable::scanCode(KeyCode::Enter), 0x1C);
    EXPECT_EQ(KeyCodeTable::scanCode(0x3B), 0x58);
    EXPECT_EQ(KeyCodeTable::scanCode(0x76), 0x50);
    EXPECT_EQ(KeyCodeTable::scanCode(0x7F), 0);
    EXPECT_EQ(KeyCodeTable::scanCode(200), 0);
}

TEST(KeyboardHook, ExtendedKeysShareTheKeypadsScanCodes) {
    EXPECT_EQ(host::scanCodeOf(SDL_SCANCODE_LEFT), host::scanCodeOf(SDL_SCANCODE_KP_4));
    EXPECT_EQ(host::scanCodeOf(SDL_SCANCODE_KP_ENTER), host::scanCodeOf(SDL_SCANCODE_RETURN));
    EXPECT_EQ(host::scanCodeOf(SDL_SCANCODE_RCTRL), host::scanCodeOf(SDL_SCANCODE_LCTRL));
    EXPECT_EQ(host::scanCodeOf(SDL_SCANCODE_ESCAPE), 0x01);
    EXPECT_EQ(host::scanCodeOf(SDL_SCANCODE_F9), 0x43);
    EXPECT_EQ(host::scanCodeOf(-1), 0);
    EXPECT_EQ(host::scanCodeOf(SDL_NUM_SCANCODES), 0);
}

TEST(KeyboardDevice, FirstKeyDownCallsBackOnceAndStateIsShared) {
    auto* device = new KeyboardDevice;
    EXPECT_TRUE(host::keyboardHookInstalled());
    KeyboardDevice::setKeyCallback(recordCallback);
    auto* second = new KeyboardDevice;

    host::deliverKeyEvent(0x01, false);
    host::deliverKeyEvent(0x01, false);
    EXPECT_TRUE(device->isKeyDown(KeyCode::Escape));
    EXPECT_TRUE(second->isKeyDown(KeyCode::Escape));
    host::deliverKeyEvent(0x01, true);
    EXPECT_FALSE(device->isKeyDown(KeyCode::Escape));
    host::deliverKeyEvent(0x01, false);
    EXPECT_EQ(callbacks, (std::vector<uint8_t>{0x01, 0x01})) << "repeats do not call back";

    host::deliverKeyEvent(0x4B, false);
    EXPECT_TRUE(device->isKeyDown(0x44)) << "keypad 4 shares cursor left's state";
    EXPECT_TRUE(device->isKeyDown(0x73));

    delete second;
    EXPECT_TRUE(host::keyboardHookInstalled());
    delete device;
    EXPECT_FALSE(host::keyboardHookInstalled()) << "the last device unhooks";
}

TEST(KeyboardListeners, DispatchReachesTriggersOfThatScanCodeOnly) {
    KeyboardListeners listeners;
    CountingTrigger escape;
    CountingTrigger alsoEscape;
    CountingTrigger space;
    listeners.add(0x01, &escape);
    listeners.add(0x01, &alsoEscape);
    listeners.add(0x39, &space);
    listeners.dispatch(0x01);
    listeners.dispatch(0x50);
    EXPECT_EQ(escape.hits, 1);
    EXPECT_EQ(alsoEscape.hits, 1);
    EXPECT_EQ(space.hits, 0);
    EXPECT_LT(escape.getId(), alsoEscape.getId());
}

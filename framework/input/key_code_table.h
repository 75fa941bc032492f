#pragma once

#include <cstdint>

// The program's own key codes (0..127) mapped to 7-bit PC scan codes;
// 0 means no key.
namespace KeyCodeTable {

uint8_t scanCode(int keyCode);

}  // namespace KeyCodeTable

// The key codes the show binds.
namespace KeyCode {
inline constexpr int Escape = 0x01;
inline constexpr int F1 = 0x30;
inline constexpr int letter(char upper) { return 0x10 + (upper - 'A'); }
inline constexpr int KeypadEnter = 0x4F;
inline constexpr int Enter = 0x62;
inline constexpr int Space = 0x69;
}  // namespace KeyCode

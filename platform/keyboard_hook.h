#pragma once

#include <cstdint>

namespace host {

// The one keyboard hook of the program's thread: called from the event pump
// for every key press, auto-repeat and release with the key's 7-bit PC
// (set 1) scan code.
using KeyboardHook = void (*)(uint8_t scanCode, bool released);

bool installKeyboardHook(KeyboardHook hook);
void removeKeyboardHook();
bool keyboardHookInstalled();
void deliverKeyEvent(uint8_t scanCode, bool released);

// The set-1 scan code of an SDL scan code, keeping only the low 7 bits as
// the hook does (so extended keys share codes with the keypad); 0 = none.
uint8_t scanCodeOf(int sdlScancode);

}  // namespace host

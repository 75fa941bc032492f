#include "framework/window/retired_backend.h"

#include "platform/message_box.h"

namespace RetiredBackend {
namespace {

bool quit = false;
bool clicked = false;
constexpr bool scaled = true;
constexpr int width = -1;
constexpr int height = -1;
constexpr int storedX = -1;
constexpr int storedY = -1;

}  // namespace

void unsupported() { host::messageBox("sorry no longer supported!", "", host::Buttons::Ok, host::Icon::None); }

bool isQuitRequested() { return quit; }

void requestQuit() { quit = true; }

void resetToStart() { quit = false; }

bool mouseClicked() {
    bool was = clicked;
    clicked = false;
    return was;
}

int mouseX() {
    if (!scaled) return storedX;
    return static_cast<int>(static_cast<float>(storedX) / static_cast<float>(width - 7) * width);
}

int mouseY() {
    if (!scaled) return storedY;
    return static_cast<int>(static_cast<float>(storedY) / static_cast<float>(height - 33) * height);
}

}  // namespace RetiredBackend

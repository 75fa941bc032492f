#include "framework/window/gl_window.h"

#include "framework/render/gl_batch.h"
#include "platform/gl_surface.h"
#include "platform/message_box.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

namespace GLWindow {
namespace {

bool created = false;
bool windowed = true;
bool quit = false;
bool active = false;
int mouseXPos = -1;
int mouseYPos = -1;
bool clicked = false;
bool buttonDown = false;

std::string caption() {
    std::string text = "$";
    for (int i = 1; i < 48; ++i) text += " $";
    return text;
}

void shutdownError(const char* text) {
    host::messageBox(text, "SHUTDOWN ERROR", host::Buttons::Ok, host::Icon::Information);
}

void handle(const host::SurfaceEvent& event) {
    using Kind = host::SurfaceEvent::Kind;
    switch (event.kind) {
        case Kind::MouseMove:
            mouseXPos = event.x;
            mouseYPos = event.y;
            break;
        case Kind::ButtonDown:
            mouseXPos = event.x;
            mouseYPos = event.y;
            clicked = true;
            buttonDown = true;
            break;
        case Kind::ButtonUp:
            buttonDown = false;
            break;
        case Kind::Close:
            // Only a request: the window stays until the last frame is drawn.
            quit = true;
            break;
        case Kind::Focus:
            // Any activation change marks the application active for good,
            // so the show keeps drawing when it loses the focus.
            active = true;
            break;
    }
}

// The failure box says only that something failed; the cause goes to
// standard error first.
[[noreturn]] void failed(const char* step) {
    std::fprintf(stderr, "Could not %s: %s\n", step, host::lastError());
    throw 0;
}

}  // namespace

void create(int width, int height, bool fullscreen) {
    quit = false;
    windowed = !fullscreen;
    if (!host::initVideo()) failed("start the video system");
    created = true;
    if (fullscreen) {
        if (!host::chooseFullscreenMode(width, height)) failed("find a full-screen mode");
        host::setCursorVisible(false);
    }
    if (!host::createSurface(width, height, fullscreen, caption().c_str())) failed("create the window");
    if (!host::createGlContext()) failed("create the OpenGL context");
    host::showSurface();
}

void pump() {
    host::SurfaceEvent event;
    while (host::pollSurfaceEvent(event)) handle(event);
    if (!active) return;
    GLBatch::flushCurrent();
    host::swapSurface();
    if (windowed) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    } else {
        std::this_thread::yield();
    }
}

void restoreDisplayMode() {
    if (windowed || !host::surfaceWindow()) return;
    host::setSurfaceFullscreen(false);
    host::setCursorVisible(true);
}

void kill() {
    GLBatch::discard();
    restoreDisplayMode();
    if (host::surfaceWindow() && !host::releaseGlContext()) shutdownError("Release Of DC And RC Failed.");
    host::deleteGlContext();
    host::destroySurface();
    if (created) host::quitVideo();
    created = false;
}

void setFullscreen(int width, int height, bool fullscreen) {
    if (!host::surfaceWindow()) return;
    if (fullscreen && !host::chooseFullscreenMode(width, height)) failed("find a full-screen mode");
    if (!host::setSurfaceFullscreen(fullscreen)) failed("switch between window and full screen");
    host::setCursorVisible(!fullscreen);
    windowed = !fullscreen;
}

bool isQuitRequested() { return quit; }

void requestQuit() { quit = true; }

void resetToStart() {
    quit = false;
    mouseXPos = -1;
    mouseYPos = -1;
    clicked = false;
    buttonDown = false;
}

bool mouseClicked() {
    bool was = clicked;
    clicked = false;
    return was;
}

bool mouseDown() { return buttonDown; }

int mouseX() { return mouseXPos; }

int mouseY() { return mouseYPos; }

}  // namespace GLWindow

#include "framework/window/platform_backend.h"

#include "framework/window/gl_window.h"
#include "framework/window/retired_backend.h"
#include "platform/ticks.h"

namespace Platform {
namespace {

enum Backend { Retired = 0, OpenGL = 1 };
int backend = Retired;

}  // namespace

void setBackend(int n) { backend = n; }

void resetToStart() {
    backend = Retired;
    RetiredBackend::resetToStart();
    GLWindow::resetToStart();
}

uint32_t getTickCount() { return host::tickCount(); }

// Titles only ever reached the retired backend's window, which never exists.
void setTitle(const char*) {}

void openWindow(int width, int height, bool fullscreen) {
    if (backend == OpenGL) GLWindow::create(width, height, fullscreen);
    else if (backend == Retired) RetiredBackend::unsupported();
}

void setFullscreen(int width, int height, bool fullscreen) {
    if (backend == OpenGL) GLWindow::setFullscreen(width, height, fullscreen);
}

void update() {
    if (backend == OpenGL) GLWindow::pump();
    else if (backend == Retired) RetiredBackend::unsupported();
}

bool isQuitRequested() {
    if (backend == OpenGL) return GLWindow::isQuitRequested();
    if (backend == Retired) return RetiredBackend::isQuitRequested();
    return false;
}

void closeWindow() {
    if (backend == OpenGL) GLWindow::kill();
    else if (backend == Retired) RetiredBackend::unsupported();
}

void requestQuit() {
    if (backend == OpenGL) GLWindow::requestQuit();
    else if (backend == Retired) RetiredBackend::requestQuit();
}

bool mouseClicked() {
    if (backend == OpenGL) return GLWindow::mouseClicked();
    if (backend == Retired) return RetiredBackend::mouseClicked();
    return false;
}

bool mouseDown() { return backend == OpenGL && GLWindow::mouseDown(); }

int mouseX() {
    if (backend == OpenGL) return GLWindow::mouseX();
    if (backend == Retired) return RetiredBackend::mouseX();
    return -1;
}

int mouseY() {
    if (backend == OpenGL) return GLWindow::mouseY();
    if (backend == Retired) return RetiredBackend::mouseY();
    return -1;
}

}  // namespace Platform

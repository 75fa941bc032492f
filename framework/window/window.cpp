#include "framework/window/window.h"

#include "framework/window/platform_backend.h"

Window::Window(int width, int height) : width_(width), height_(height) { Platform::setBackend(1); }

void Window::open() {
    Platform::openWindow(width_, height_, fullscreen_);
    open_ = true;
}

void Window::close() {
    Platform::closeWindow();
    open_ = false;
}

bool Window::isQuitRequested() { return Platform::isQuitRequested(); }

void Window::update() { Platform::update(); }

void Window::setTitle(const char* text) { Platform::setTitle(text); }

void Window::setFullscreen(bool fullscreen) {
    if (fullscreen == fullscreen_) return;
    fullscreen_ = fullscreen;
    // Switch the open window in place rather than rebuilding it, so the GL
    // context with its textures and frame buffers survives.
    if (open_) Platform::setFullscreen(width_, height_, fullscreen);
}

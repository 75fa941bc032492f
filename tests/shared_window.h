#pragma once

#include "framework/window/gl_window.h"

#include <GL/glew.h>
#include <SDL.h>

#include <cstdlib>

// A real window on the display (Xvfb in the test run), opened on first use
// in a test and closed after it with the rest of the process state, so no GL
// state carries over from one test to the next. False without a display.
// Reads come from the back buffer, where the tests draw.
inline bool openSharedWindow() {
    if (!std::getenv("DISPLAY")) return false;
    if (SDL_GL_GetCurrentContext() != nullptr) return true;
    try {
        GLWindow::create(1024, 768, false);
    } catch (int) {
        return false;
    }
    glReadBuffer(GL_BACK);
    return true;
}

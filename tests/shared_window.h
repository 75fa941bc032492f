#pragma once

#include "framework/window/gl_window.h"

#include <GL/glew.h>
#include <SDL.h>

#include <cstdlib>

// A real window on the display (Xvfb in the test run), kept open from test
// to test as the show keeps its own; opened again when a test closed it with
// a window of its own. False without a display. Reads come from the back
// buffer, where the tests draw.
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

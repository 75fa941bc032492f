#pragma once

#include "framework/gl_window.h"

#include <GL/glew.h>

#include <cstdlib>

// A real window on the display (Xvfb in the test run), opened once per
// process and kept, as the show keeps its own; false without a display.
// Reads come from the back buffer, where the tests draw.
inline bool openWindowOnce() {
    static const bool opened = [] {
        if (!std::getenv("DISPLAY")) return false;
        try {
            GLWindow::create(1024, 768, false);
        } catch (int) {
            return false;
        }
        glReadBuffer(GL_BACK);
        return true;
    }();
    return opened;
}

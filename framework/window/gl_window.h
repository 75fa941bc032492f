#pragma once

// The OpenGL window backend: one window with its context, its message pump
// and the mouse and quit state gathered there.
namespace GLWindow {

void create(int width, int height, bool fullscreen);
void pump();
void kill();
void setFullscreen(int width, int height, bool fullscreen);
// Gives the desktop its display mode back (also on the failure paths).
void restoreDisplayMode();
bool isQuitRequested();
void requestQuit();
// Back to the state of a fresh process (test programs run many cases in one).
// The quit request and the mouse; a window that is open stays open.
void resetToStart();
bool mouseClicked();
bool mouseDown();
int mouseX();
int mouseY();

}  // namespace GLWindow

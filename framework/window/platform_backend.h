#pragma once

#include <cstdint>

// Free functions over the window backend: tick count, title, quit request and
// mouse. Backend 1 is the OpenGL window; backend 0 is the retired one; any
// other number answers nothing.
namespace Platform {

void setBackend(int backend);
uint32_t getTickCount();
void setTitle(const char* text);
void openWindow(int width, int height, bool fullscreen);
void setFullscreen(int width, int height, bool fullscreen);
void update();
bool isQuitRequested();
void closeWindow();
void requestQuit();
// Back to the state of a fresh process (test programs run many cases in one).
void resetToStart();
bool mouseClicked();
bool mouseDown();
int mouseX();
int mouseY();

}  // namespace Platform

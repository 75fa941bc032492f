#pragma once

struct SDL_Window;

namespace host {

// One SDL window with an OpenGL compatibility context. Each step reports
// failure by returning false and leaves what it made in place, so the caller
// decides what to tear down.
struct SurfaceEvent {
    enum class Kind { Close, Focus, MouseMove, ButtonDown, ButtonUp };
    Kind kind;
    int x = 0;
    int y = 0;
};

bool initVideo();
void quitVideo();
// Why the last step that returned false failed.
const char* lastError();
// Picks the display mode closest to width x height for full screen.
bool chooseFullscreenMode(int width, int height);
bool createSurface(int width, int height, bool fullscreen, const char* title);
bool createGlContext();
void showSurface();
// Switches an open surface between window and full screen; the context,
// and with it every texture and frame buffer, survives.
bool setSurfaceFullscreen(bool fullscreen);
void setCursorVisible(bool visible);

// Next window event, or false when none is left. Key events never come out
// here: they go to the keyboard hook on the way.
bool pollSurfaceEvent(SurfaceEvent& event);
// Shows the frame drawn; once a second it also hands the memory freed since
// back to the system.
void swapSurface();

bool releaseGlContext();
void deleteGlContext();
void destroySurface();

// The open window, or null; message boxes are parented to it.
SDL_Window* surfaceWindow();

}  // namespace host

#include "platform/gl_surface.h"

#include "platform/keyboard_hook.h"

#include <GL/glew.h>
#include <SDL.h>
#include <malloc.h>

#include <cstdlib>

namespace host {
namespace {

SDL_Window* window = nullptr;
SDL_GLContext context = nullptr;
SDL_DisplayMode fullscreenMode{};
// When freed memory last went back to the system, in SDL ticks.
Uint32 lastMemoryReturn = 0;

}  // namespace

bool initVideo() {
    // The driver's threads share one arena: each of their own would keep its
    // own peak of free memory. The C library fixes the number of arenas when
    // a second thread first allocates, so this comes before any thread.
    mallopt(M_ARENA_MAX, 1);
    // The GL loader binds through GLX, so only an X display can host the
    // context. Without one, SDL would fall back to an offscreen EGL driver
    // and the failure would surface later as an unnamed loader error. An
    // SDL_VIDEODRIVER set in the environment still wins.
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    // Mesa can run its OpenGL work (vertex processing, primitive assembly,
    // binning) on a thread of its own; with a software rasteriser that is
    // most of what drawing costs this thread. Mesa reads the setting when
    // the display opens; one of the user's own wins.
    setenv("mesa_glthread", "true", 0);
    return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
}

void quitVideo() { SDL_QuitSubSystem(SDL_INIT_VIDEO); }

const char* lastError() { return SDL_GetError(); }

bool chooseFullscreenMode(int width, int height) {
    SDL_DisplayMode wanted{};
    wanted.format = SDL_PIXELFORMAT_RGB888;
    wanted.w = width;
    wanted.h = height;
    return SDL_GetClosestDisplayMode(0, &wanted, &fullscreenMode) != nullptr;
}

bool createSurface(int width, int height, bool fullscreen, const char* title) {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (fullscreen) flags |= SDL_WINDOW_FULLSCREEN;
    // A window opens at the screen's top-left corner, not centred.
    window = SDL_CreateWindow(title, 0, 0, width, height, flags);
    if (!window) return false;
    return !fullscreen || SDL_SetWindowDisplayMode(window, &fullscreenMode) == 0;
}

bool createGlContext() {
    context = SDL_GL_CreateContext(window);
    if (!context || SDL_GL_MakeCurrent(window, context) != 0) return false;
    const GLenum glew = glewInit();
    if (glew == GLEW_OK) return true;
    SDL_SetError("GLEW: %s", reinterpret_cast<const char*>(glewGetErrorString(glew)));
    return false;
}

void showSurface() {
    SDL_ShowWindow(window);
    SDL_RaiseWindow(window);
}

bool setSurfaceFullscreen(bool fullscreen) {
    if (fullscreen && SDL_SetWindowDisplayMode(window, &fullscreenMode) != 0) return false;
    return SDL_SetWindowFullscreen(window, fullscreen ? SDL_WINDOW_FULLSCREEN : 0) == 0;
}

void setCursorVisible(bool visible) { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }

bool pollSurfaceEvent(SurfaceEvent& out) {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
            case SDL_QUIT:
                out = {SurfaceEvent::Kind::Close};
                return true;
            case SDL_WINDOWEVENT:
                if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
                    out = {SurfaceEvent::Kind::Close};
                    return true;
                }
                if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED ||
                    event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
                    out = {SurfaceEvent::Kind::Focus};
                    return true;
                }
                break;
            case SDL_MOUSEMOTION:
                out = {SurfaceEvent::Kind::MouseMove, event.motion.x, event.motion.y};
                return true;
            case SDL_MOUSEBUTTONDOWN:
                if (event.button.button != SDL_BUTTON_LEFT) break;
                out = {SurfaceEvent::Kind::ButtonDown, event.button.x, event.button.y};
                return true;
            case SDL_MOUSEBUTTONUP:
                if (event.button.button != SDL_BUTTON_LEFT) break;
                out = {SurfaceEvent::Kind::ButtonUp, event.button.x, event.button.y};
                return true;
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                if (uint8_t scan = scanCodeOf(event.key.keysym.scancode)) {
                    deliverKeyEvent(scan, event.type == SDL_KEYUP);
                }
                break;
            default:
                break;
        }
    }
    return false;
}

void swapSurface() {
    SDL_GL_SwapWindow(window);
    // The driver bins each frame's geometry into blocks it frees once drawn,
    // all over the one arena: the allocator keeps those pages, so resident
    // memory would follow every heavy frame's spread. Once a second they go
    // back; the pages used again fault back in, about a millisecond a frame
    // on the driver's thread in the busiest passage.
    const Uint32 now = SDL_GetTicks();
    if (now - lastMemoryReturn >= 1000) {
        malloc_trim(0);
        lastMemoryReturn = now;
    }
}

bool releaseGlContext() { return SDL_GL_MakeCurrent(window, nullptr) == 0; }

void deleteGlContext() {
    if (context) SDL_GL_DeleteContext(context);
    context = nullptr;
}

void destroySurface() {
    if (window) SDL_DestroyWindow(window);
    window = nullptr;
}

SDL_Window* surfaceWindow() { return window; }

}  // namespace host

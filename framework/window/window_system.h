#pragma once

// What the main loop needs of a window.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;
    virtual void open() = 0;
    virtual void close() = 0;
    virtual bool isQuitRequested() = 0;
    virtual void update() = 0;
    virtual bool isFullscreen() = 0;
    virtual void setTitle(const char* text) = 0;
    virtual void setFullscreen(bool fullscreen) = 0;
};

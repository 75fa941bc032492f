// framework/window: the window, its GL surface and backends, the viewport; uses platform.
#pragma once

#include "framework/window/window_system.h"

// The program's window; everything goes through the Platform functions.
class Window : public WindowSystem {
public:
    Window(int width, int height);

    void open() override;
    void close() override;
    bool isQuitRequested() override;
    void update() override;
    bool isFullscreen() override { return fullscreen_; }
    void setTitle(const char* text) override;
    void setFullscreen(bool fullscreen) override;

private:
    bool fullscreen_ = false;
    bool open_ = false;
    int width_;
    int height_;
};

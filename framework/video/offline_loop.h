// framework/video: offline rendering to AVI, console and log; uses scene, render, clock, window, engine, platform.
#pragma once

#include "framework/video/avi_writer.h"
#include "framework/render/frame_bitmap.h"

#include <cstdint>
#include <string>

class SceneManager;
class WindowSystem;

// The offline render, one frame a pass: the clock advances by its fixed step
// (1/71 s in the show) and each frame is scaled to 640 x 480 and written into
// a Motion-JPEG AVI at 30 frames per second, so the file plays the show
// 71/30 = 2.37 times slower than live. No sound. The frame bitmap is
// published to the scenes while the render lives.
class OfflineRender {
public:
    explicit OfflineRender(const std::string& fileName);
    ~OfflineRender();
    OfflineRender(const OfflineRender&) = delete;
    OfflineRender& operator=(const OfflineRender&) = delete;

    void renderFrame(SceneManager& scenes, WindowSystem& window);

private:
    AviWriter writer_;
    FrameBitmap frame_;
};

// Renders into "Vaduz.avi" until the window is closed or the user confirms
// the abort question; returns the passes made.
uint64_t runOfflineLoop(SceneManager& scenes, WindowSystem& window);

#include "framework/video/offline_loop.h"

#include "framework/video/avi_writer.h"
#include "framework/render/frame_bitmap.h"
#include "framework/video/frame_capture.h"
#include "framework/video/log.h"
#include "framework/scene/render_context.h"
#include "framework/scene/scene_manager.h"
#include "framework/clock/timer.h"
#include "framework/window/viewport.h"
#include "framework/window/window_system.h"

namespace {

constexpr int videoWidth = 640;
constexpr int videoHeight = 480;
constexpr int videoRate = 30;

// The frame bitmap is published only while the render runs.
class PublishedFrame {
public:
    PublishedFrame() { RenderContext::instance().setFrameBitmap(&frame_); }
    ~PublishedFrame() { RenderContext::instance().setFrameBitmap(nullptr); }
    FrameBitmap& frame() { return frame_; }

private:
    FrameBitmap frame_{videoWidth, videoHeight};
};

}  // namespace

uint64_t runOfflineLoop(SceneManager& scenes, WindowSystem& window) {
    AviWriter writer("Vaduz.avi", videoWidth, videoHeight, videoRate);
    Timer::instance().setFixedStep(true);
    PublishedFrame published;
    const Viewport& viewport = Viewport::instance();
    uint64_t passes = 0;
    while (!window.isQuitRequested() && renderNotInterrupted()) {
        scenes.update();
        // Read before the swap: the back buffer holds the frame just drawn.
        captureGlFrame(viewport.width(), viewport.height(), published.frame());
        window.update();
        writer.writeFrame(published.frame().pixels());
        Timer::instance().step();
        ++passes;
    }
    return passes;
}

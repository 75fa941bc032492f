#include "framework/video/offline_loop.h"

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

}  // namespace

OfflineRender::OfflineRender(const std::string& fileName)
    : writer_(fileName, videoWidth, videoHeight, videoRate), frame_(videoWidth, videoHeight) {
    Timer::instance().setFixedStep(true);
    RenderContext::instance().setFrameBitmap(&frame_);
}

OfflineRender::~OfflineRender() { RenderContext::instance().setFrameBitmap(nullptr); }

void OfflineRender::renderFrame(SceneManager& scenes, WindowSystem& window) {
    scenes.update();
    // Read before the swap: the back buffer holds the frame just drawn.
    const Viewport& viewport = Viewport::instance();
    captureGlFrame(viewport.width(), viewport.height(), frame_);
    window.update();
    writer_.writeFrame(frame_.pixels());
    Timer::instance().step();
}

uint64_t runOfflineLoop(SceneManager& scenes, WindowSystem& window) {
    OfflineRender render("Vaduz.avi");
    uint64_t passes = 0;
    while (!window.isQuitRequested() && renderNotInterrupted()) {
        render.renderFrame(scenes, window);
        ++passes;
    }
    return passes;
}

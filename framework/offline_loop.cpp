#include "framework/offline_loop.h"

#include "framework/frame_capture.h"
#include "framework/log.h"
#include "framework/render_context.h"
#include "framework/scene_manager.h"
#include "framework/timer.h"
#include "framework/viewport.h"
#include "framework/window_system.h"

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

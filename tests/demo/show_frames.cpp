#include "tests/demo/show_frames.h"

#include "demo/scenes/blank_scene.h"
#include "demo/scenes/main_scene.h"
#include "framework/app/program_flags.h"
#include "framework/audio/audio_recorder.h"
#include "framework/clock/timer.h"
#include "framework/files/file_system.h"
#include "framework/files/pack_file_provider.h"
#include "framework/render/blend_table.h"
#include "framework/render/gl_renderer.h"
#include "framework/render/layer_renderer.h"
#include "framework/scene/input_holder.h"
#include "framework/scene/scene_manager.h"
#include "framework/window/viewport.h"
#include "framework/window/window.h"
#include "platform/gl_surface.h"
#include "platform/ticks.h"
#include "tests/framework/render/reference_gl_renderer.h"
#include "tests/demo/skippable_renderer.h"
#include "tests/window_capture.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>

namespace {

constexpr int kMainScene = 1;
uint32_t ticks = 0;

std::unique_ptr<Renderer> makeReference(int, int) { return std::make_unique<ReferenceGLRenderer>(); }

template <typename Number>
void put(std::string& bytes, Number n) {
    bytes.append(reinterpret_cast<const char*>(&n), sizeof n);
}

template <typename Number>
Number take(const std::string& bytes, std::size_t& at) {
    if (at + sizeof(Number) > bytes.size()) throw std::runtime_error("frames cut short");
    Number n;
    std::memcpy(&n, bytes.data() + at, sizeof n);
    at += sizeof n;
    return n;
}

}  // namespace

std::vector<ShownFrame> playShow(ShowRenderer kind, const std::vector<int>& times) {
    std::filesystem::current_path(VORN_SHOW_FOLDER);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("VORN_MESSAGEBOX", "no", 1);
    host::setTickSource([] { return ticks; });

    // As the program starts the show, without the start-up question and
    // with the Timer at its fixed step. All of it lives until the process
    // ends, as in the program.
    ProgramFlags::highBudget = false;
    // The batching run draws as the program does; the reference draws every
    // piece every frame.
    ProgramFlags::keepSettledScraps = kind == ShowRenderer::Batching;
    FileSystem::instance().addProvider(std::make_unique<PackFileProvider>("data/res.vorn"));
    auto* window = new Window(kWindowWidth, kWindowHeight);
    window->setFullscreen(false);
    window->open();
    Renderer* drawing = nullptr;
    if (kind == ShowRenderer::Reference) {
        setLayerRendererMaker(makeReference);
        drawing = new ReferenceGLRenderer;
    } else {
        drawing = new GLRenderer(kWindowWidth, kWindowHeight);
    }
    auto* screen = new SkippableRenderer(*drawing);
    Viewport::instance().setSize(kWindowWidth, kWindowHeight);
    SceneManager& scenes = SceneManager::instance();
    scenes.setFirst(new BlankScene(screen));
    scenes.addScene(new MainScene(screen));
    scenes.loadAll();
    InputHolder::instance().install();
    buildBlendTable();
    Viewport::instance().setUseMidiGains(false);
    Timer& timer = Timer::instance();
    timer.setRate(71.0f);
    timer.setFixedStep(true);
    AudioRecorder::instance().setEnabled(false);
    scenes.switchTo(0);
    scenes.playbackAll();
    glReadBuffer(GL_BACK);

    std::vector<ShownFrame> frames;
    while (frames.size() < times.size()) {
        if (window->isQuitRequested()) throw std::runtime_error("the show quit before the last time asked for");
        const bool inMainScene = scenes.currentIndex() == kMainScene;
        const bool taken = inMainScene && timer.getTime() >= times[frames.size()];
        // Scene 0's second of black is drawn as the show draws it. A frame
        // not taken draws nothing of its own into the window, and the
        // layers' pictures over it cover a pixel: the layers themselves set
        // a viewport of their own.
        const bool skipping = inMainScene && !taken;
        screen->setSkipping(skipping);
        glViewport(0, 0, skipping ? 1 : kWindowWidth, skipping ? 1 : kWindowHeight);
        scenes.update();
        GLBatch::flushCurrent();
        if (taken) {
            const std::vector<uint8_t> rgb = windowPixels();
            while (frames.size() < times.size() && timer.getTime() >= times[frames.size()]) {
                frames.push_back({times[frames.size()], timer.getTime(), rgb});
            }
        }
        host::SurfaceEvent event;
        while (host::pollSurfaceEvent(event)) {
        }
        timer.step();
        ticks += static_cast<uint32_t>(timer.getDeltaTime());
    }
    return frames;
}

std::string toBytes(const std::vector<ShownFrame>& frames) {
    std::string bytes;
    for (const ShownFrame& frame : frames) {
        put(bytes, frame.atMs);
        put(bytes, frame.sceneMs);
        put(bytes, frame.rgb.size());
        bytes.append(reinterpret_cast<const char*>(frame.rgb.data()), frame.rgb.size());
    }
    return bytes;
}

std::vector<ShownFrame> framesFromBytes(const std::string& bytes) {
    std::vector<ShownFrame> frames;
    for (std::size_t at = 0; at < bytes.size();) {
        ShownFrame frame;
        frame.atMs = take<int>(bytes, at);
        frame.sceneMs = take<int>(bytes, at);
        const auto size = take<std::size_t>(bytes, at);
        if (at + size > bytes.size()) throw std::runtime_error("frames cut short");
        frame.rgb.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                         bytes.begin() + static_cast<std::ptrdiff_t>(at + size));
        at += size;
        frames.push_back(std::move(frame));
    }
    return frames;
}

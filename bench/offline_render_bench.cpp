// A minute of the show rendered offline as the offline build renders it:
// the replayed show at the fixed clock step of 1/71 s, each frame read back,
// scaled to 640 x 480, compressed to JPEG and written into the AVI. Reports
// frames rendered per second and the file's bytes per frame; the whole show
// is about 41,300 frames. Needs an OpenGL context: run it on a display (Xvfb).
#include "demo/scenes/blank_scene.h"
#include "demo/scenes/main_scene.h"
#include "framework/audio/audio_recorder.h"
#include "framework/render/blend_table.h"
#include "framework/files/file_system.h"
#include "framework/render/gl_renderer.h"
#include "framework/video/log.h"
#include "framework/video/offline_loop.h"
#include "framework/files/pack_file_provider.h"
#include "framework/scene/scene_manager.h"
#include "framework/clock/timer.h"
#include "framework/window/viewport.h"
#include "framework/window/window.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

constexpr int showRate = 71;
constexpr int minuteFrames = 60 * showRate;

// The show as the program starts it, replaying its event list.
void startShow(Renderer& renderer) {
    FileSystem::instance().addProvider(std::make_unique<PackFileProvider>("data/res.vorn"));
    SceneManager& scenes = SceneManager::instance();
    scenes.setFirst(new BlankScene(&renderer));
    scenes.addScene(new MainScene(&renderer));
    scenes.loadAll();
    buildBlendTable();
    Viewport::instance().setUseMidiGains(false);
    Timer::instance().setRate(showRate);
    AudioRecorder::instance().setEnabled(false);
    scenes.switchTo(0);
    scenes.playbackAll();
}

void OfflineRenderMinute(benchmark::State& state) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::filesystem::current_path(VORN_SHOW_FOLDER);
    // The progress display would bury the report.
    Log::instance().setLevel(3);
    Window window(1024, 768);
    window.open();
    GLRenderer renderer(1024, 768);
    Viewport::instance().setSize(1024, 768);
    startShow(renderer);
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "vorn-offline-render-bench.avi";
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        {
            OfflineRender render(file.string());
            for (int frame = 0; frame < minuteFrames; ++frame) render.renderFrame(SceneManager::instance(), window);
        }
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const double bytes = static_cast<double>(std::filesystem::file_size(file));
    std::filesystem::remove(file);
    state.counters["frames_per_second"] = minuteFrames / seconds;
    state.counters["bytes_per_frame"] = bytes / minuteFrames;
    window.close();
}
BENCHMARK(OfflineRenderMinute)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace

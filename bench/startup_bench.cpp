// Start-up work between the answered question and the first frame: loading
// the main scene (MIDI recording, every pre-built figure, the music) and
// scene 0's first frame; the resident memory after it is reported too.
// The pencil layers need an OpenGL context: run it on a display (Xvfb).
#include "demo/scenes/blank_scene.h"
#include "demo/scenes/main_scene.h"
#include "framework/render/gl_renderer.h"
#include "framework/window/gl_window.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

namespace {

double residentMegabytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * 4096.0 / (1024.0 * 1024.0);
}

void MainSceneLoad(benchmark::State& state) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::filesystem::current_path(VORN_SHOW_FOLDER);
    GLWindow::create(1024, 768, false);
    GLRenderer renderer(1024, 768);
    // MIDI input keeps pointers into every loaded scene: keep them all.
    std::vector<std::unique_ptr<MainScene>> loaded;
    for (auto _ : state) {
        BlankScene blank(&renderer);
        loaded.push_back(std::make_unique<MainScene>(&renderer));
        blank.load();
        loaded.back()->load();
        blank.enter();
        blank.update();
    }
    state.counters["resident_MB"] = residentMegabytes();
}
BENCHMARK(MainSceneLoad)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

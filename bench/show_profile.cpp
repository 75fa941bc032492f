// The show profiler: plays the real show (scene 0, then the main scene with
// the show's data and replayed events) on a real OpenGL context, one frame
// per step of the Timer at its fixed rate of 71 frames per second of show
// time, as fast as the machine goes, and prints what the frames of each
// chosen window of show time cost. Run it on a display, e.g. Xvfb:
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/bench/vorn_show_profile 180:250 300:310
//
// Options: --budget normal|high (the start-up question's answer, normal by
// default), --png FOLDER (writes the last frame of each window there as
// frame_at_<show ms>ms.png), --draw-every-frame (see below), --split (see
// below). A window is
// START:END in seconds since the main scene began, or START alone for the one
// second from START; windows may overlap. The run ends with the last window,
// or where the show quits by itself (581.4 s).
//
// What is measured, per frame:
// - wall: steady clock from the start of the frame's logic to the end of
//   glFinish after the buffer swap, so the rasteriser threads' work lands in
//   the frame that asked for it (the show's own 1 ms pause after a swap in a
//   window is left out);
// - main-thread CPU (CLOCK_THREAD_CPUTIME_ID) and process CPU
//   (CLOCK_PROCESS_CPUTIME_ID: also llvmpipe's rasteriser threads and the
//   audio thread, which decodes the music at wall-clock pace) over the same
//   span; the machine may be shared, so CPU times are the figures to compare;
// - OpenGL calls as gl_call_counter.h defines them;
// - fragments drawn: samples that passed the depth test (a GL_SAMPLES_PASSED
//   occlusion query around every frame), into the window and into the
//   render-to-texture layers alike; clears are not fragments. This is what
//   "covered pixels" means here: with overdraw it exceeds the window's size.
//   The count cost llvmpipe no measurable CPU (under 1% at 300 s);
// - with --split, the same fragments and the draw calls split by target
//   (window or render layer), kind of primitive, the source the show marked
//   (scrap passes, paper, layers' draw-out, figures...) and the batch's
//   program: each split is a draw call with an occlusion query of its own,
//   finished on its own (glFinish), with the CPU the rasteriser threads spent
//   on it and so per fragment. Each finish costs them about 0.4 ms of its
//   own (llvmpipe 22.3, 8 threads), which the figure includes: compare
//   programs where few draws hold many fragments. The times of such a run
//   are not the show's;
// - CPU time by thread over each window, from each thread's CPU clock: the
//   main thread, the driver's OpenGL thread (Mesa names it after the program
//   with ":gl0"), its rasteriser threads (llvmpipe-N: together, and how busy
//   each was over the window's wall time) and the rest (sound, start-up);
// - resident memory (VmRSS, and the peak VmHWM) and the heap in use
//   (malloc's, llvmpipe's included) at each window's end, and both right
//   after start-up. Resident memory varies by tens of MB from run to run, and
//   with how many frames were drawn.
//
// Fast-forward: every frame's logic runs, before and between the windows
// too, but most frames outside the windows are not drawn into the window
// (nor swapped); they still draw into the pencil scene's render-to-texture
// layers, which keep what was drawn from frame to frame. Since every frame
// clears the window first, the measured frames compute, count and show
// exactly what they would if every frame were drawn. So that their times
// match too, the second before each window and one frame in every 71 are
// drawn all the same: llvmpipe compiles a shader variant the first time a
// drawing state needs it, and those compilations belong to earlier frames.
// --draw-every-frame draws every frame, as the show does.
//
// Time is the Timer's fixed step, and the tick source follows it, so a run
// is the same show every time, whatever the machine's speed. Sound goes to
// SDL's dummy driver unless SDL_AUDIODRIVER says otherwise; message boxes
// are answered No on standard error unless VORN_MESSAGEBOX says otherwise.
#include <GL/glew.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "bench/gl_call_counter.h"
#include "bench/show_profile_options.h"
#include "bench/show_profiler.h"
#include "bench/window_report.h"
#include "demo/scenes/blank_scene.h"
#include "demo/scenes/main_scene.h"
#include "framework/audio/audio_recorder.h"
#include "framework/render/blend_table.h"
#include "framework/files/file_system.h"
#include "framework/render/gl_renderer.h"
#include "framework/scene/input_holder.h"
#include "framework/files/pack_file_provider.h"
#include "framework/app/program_flags.h"
#include "framework/scene/scene_manager.h"
#include "framework/clock/timer.h"
#include "framework/window/viewport.h"
#include "framework/window/window.h"

namespace {

// Over every window's frames: with windows that cover the show once, the
// whole show's median.
void printMedianWall(const std::vector<WindowReport>& reports) {
    std::vector<double> walls;
    for (const WindowReport& report : reports) {
        for (const FrameSample& sample : report.samples()) walls.push_back(sample.wallMs);
    }
    if (walls.empty()) return;
    const auto middle = walls.begin() + static_cast<std::ptrdiff_t>(walls.size() / 2);
    std::nth_element(walls.begin(), middle, walls.end());
    std::printf("median wall ms per frame over the windows' %zu frames: %.2f\n", walls.size(), *middle);
}

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr float kFrameRate = 71.0f;

void printLoad(const char* when) {
    double load[3] = {};
    if (getloadavg(load, 3) != 3) return;
    std::printf("load average %s: %.2f %.2f %.2f (%u processors)\n", when, load[0], load[1], load[2],
                std::thread::hardware_concurrency());
}

void printStartUpMemory() {
    std::printf("memory after start-up: heap in use %.1f MB, resident %.1f MB\n", heapInUseMb(),
                residentMemoryMb().first);
}

void printHeader(const ShowProfileOptions& options, double startUpSeconds) {
    const char* threads = std::getenv("LP_NUM_THREADS");
    std::printf("vorn show profile: %s budget, %dx%d window, fixed step of 1/%.0f s of show time\n",
                options.highBudget ? "high" : "normal", kWidth, kHeight, kFrameRate);
    std::printf("OpenGL: %s, %s; LP_NUM_THREADS=%s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
                reinterpret_cast<const char*>(glGetString(GL_VERSION)), threads ? threads : "unset");
    std::printf("start-up (window, loading both scenes): %.1f s wall\n", startUpSeconds);
    printStartUpMemory();
    std::printf("frames outside the windows: %s\n",
                options.drawEveryFrame ? "drawn, as the show draws them"
                                       : "all logic and render layers, drawn into the window only now and then\n"
                                         "  (the windows' frames are exact)");
    std::printf(
        "covered pixels, counted as fragments drawn: samples passing the depth test (occlusion query),\n"
        "  into the window and the render layers, clears excluded\n");
    printLoad("before the run");
    std::fflush(stdout);
}

// What start-up makes lives until the process ends, as in the program: MIDI
// input keeps pointers into the scenes.
Window* window = nullptr;
Renderer* renderer = nullptr;

// As the program starts the show, without the start-up question and with
// the Timer at its fixed step.
void startShow(const ShowProfileOptions& options) {
    ProgramFlags::highBudget = options.highBudget;
    ProgramFlags::keepSettledScraps = true;
    FileSystem::instance().addProvider(std::make_unique<PackFileProvider>("data/res.vorn"));
    window = new Window(kWidth, kHeight);
    window->setFullscreen(false);
    window->open();
    gl_call_counter::hookGlewEntryPoints();
    if (!GLEW_VERSION_1_5) throw std::runtime_error("OpenGL 1.5 (occlusion queries) is needed");
    renderer = new GLRenderer(kWidth, kHeight);
    Viewport::instance().setSize(kWidth, kHeight);
    SceneManager& scenes = SceneManager::instance();
    scenes.setFirst(new BlankScene(renderer));
    scenes.addScene(new MainScene(renderer));
    scenes.loadAll();
    InputHolder::instance().install();
    buildBlendTable();
    Viewport::instance().setUseMidiGains(false);
    Timer::instance().setRate(kFrameRate);
    Timer::instance().setFixedStep(true);
    AudioRecorder::instance().setEnabled(false);
    scenes.switchTo(0);
    scenes.playbackAll();
}

int profile(ShowProfileOptions options) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("VORN_MESSAGEBOX", "no", 0);
    if (!options.pictureFolder.empty()) {
        // The show runs in its data's folder.
        options.pictureFolder = std::filesystem::absolute(options.pictureFolder);
        std::filesystem::create_directories(options.pictureFolder);
    }
    std::filesystem::current_path(VORN_SHOW_FOLDER);
    ShowProfiler::takeOverTickSource();
    const auto startUp = std::chrono::steady_clock::now();
    startShow(options);
    printHeader(options, std::chrono::duration<double>(std::chrono::steady_clock::now() - startUp).count());

    ShowProfiler profiler(options, SceneManager::instance(), *window);
    profiler.run();
    WindowReport::printSummaryHeader(stdout);
    for (const WindowReport& report : profiler.reports()) report.printSummaryLine(stdout);
    printMedianWall(profiler.reports());
    std::printf("\n");
    printLoad("after the run");

    SceneManager::instance().finishAll();
    window->close();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::optional<ShowProfileOptions> options =
        parseShowProfileOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!options) return 2;
    try {
        return profile(*options);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vorn_show_profile: %s\n", e.what());
    } catch (...) {
        // The scenes say what failed before they throw; the window layer does not.
        std::fprintf(stderr, "vorn_show_profile: the show failed (it needs a display with OpenGL, e.g. Xvfb)\n");
    }
    return 1;
}

#include "bench/show_profiler.h"

#include <GL/glew.h>
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "bench/gl_call_counter.h"
#include "bench/thread_times.h"
#include "framework/render/gl_batch.h"
#include "framework/scene/scene_manager.h"
#include "framework/clock/timer.h"
#include "framework/window/viewport.h"
#include "framework/window/window_system.h"
#include "platform/gl_surface.h"
#include "platform/ticks.h"
#include "tools/show_data/png_image.h"

std::pair<double, double> residentMemoryMb() {
    std::ifstream status("/proc/self/status");
    double residentKb = 0;
    double peakKb = 0;
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) residentKb = std::atof(line.c_str() + 6);
        if (line.rfind("VmHWM:", 0) == 0) peakKb = std::atof(line.c_str() + 6);
    }
    return {residentKb / 1024.0, peakKb / 1024.0};
}

double heapInUseMb() {
    const struct mallinfo2 heap = mallinfo2();
    return static_cast<double>(heap.uordblks + heap.hblkhd) / (1024.0 * 1024.0);
}

namespace {

constexpr unsigned kMainScene = 1;
// Frames outside the windows that are drawn into the window all the same:
// the second before each window and one frame in every 71, so that llvmpipe
// has compiled its shader variants for the window's drawing before the
// window begins, as it would have in the show.
constexpr int kWarmUpMs = 1000;
constexpr int kSparseDrawEvery = 71;

uint32_t showTicks = 0;

double cpuMs(clockid_t clock) {
    timespec time{};
    clock_gettime(clock, &time);
    return static_cast<double>(time.tv_sec) * 1e3 + static_cast<double>(time.tv_nsec) / 1e6;
}

struct ClockReading {
    double wallMs = 0;
    double mainThreadCpuMs = 0;
    double processCpuMs = 0;

    static ClockReading now() {
        const auto wall = std::chrono::steady_clock::now().time_since_epoch();
        return {std::chrono::duration<double, std::milli>(wall).count(), cpuMs(CLOCK_THREAD_CPUTIME_ID),
                cpuMs(CLOCK_PROCESS_CPUTIME_ID)};
    }
    ClockReading operator-(const ClockReading& earlier) const {
        return {wallMs - earlier.wallMs, mainThreadCpuMs - earlier.mainThreadCpuMs,
                processCpuMs - earlier.processCpuMs};
    }
};

// The fragments counted by a finished occlusion query.
uint64_t fragmentsCounted(GLuint query) {
    if (glGetQueryObjectui64v) {
        GLuint64 count = 0;
        glGetQueryObjectui64v(query, GL_QUERY_RESULT, &count);
        return count;
    }
    GLuint count = 0;
    glGetQueryObjectuiv(query, GL_QUERY_RESULT, &count);
    return count;
}


// Printed at once: a long run shows its windows as it goes.
void closeReport(WindowReport& report, std::string picturePath) {
    auto [resident, peak] = residentMemoryMb();
    report.endThreads(threadTimesNow(), ClockReading::now().wallMs);
    report.close(resident, peak, std::move(picturePath));
    report.printDetail(stdout);
    std::printf("  heap in use at its end: %.1f MB\n", heapInUseMb());
    std::fflush(stdout);
}

// The window's back buffer (the frame just drawn) as a PNG file.
std::string writeFramePicture(const std::string& folder, int showMs) {
    const int width = Viewport::instance().width();
    const int height = Viewport::instance().height();
    const std::size_t row = static_cast<std::size_t>(width) * 4;
    std::vector<uint8_t> bottomUp(row * static_cast<std::size_t>(height));
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    show_data::PngImage picture(width, height);
    for (int y = 0; y < height; ++y) {
        const uint8_t* source = bottomUp.data() + static_cast<std::size_t>(height - 1 - y) * row;
        std::copy(source, source + row, picture.pixel(0, y));
    }
    // The window shows no alpha: neither does the picture.
    for (std::size_t i = 3; i < picture.rgba.size(); i += 4) picture.rgba[i] = 255;
    const std::string path = folder + "/frame_at_" + std::to_string(showMs) + "ms.png";
    show_data::writePng(path, picture);
    return path;
}

// The window's events are taken every frame; the picture is swapped in only
// when something was drawn into it. Waits for the rasteriser.
void presentFrame(bool drawn) {
    host::SurfaceEvent event;
    while (host::pollSurfaceEvent(event)) {
    }
    if (drawn) host::swapSurface();
    glFinish();
}

}  // namespace

void ShowProfiler::takeOverTickSource() {
    host::setTickSource([] { return showTicks; });
}

ShowProfiler::ShowProfiler(const ShowProfileOptions& options, SceneManager& scenes, WindowSystem& window)
    : options_(options),
      scenes_(scenes),
      window_(window),
      timer_(Timer::instance()),
      reports_(options.windows.begin(), options.windows.end()) {
    for (const WindowReport& report : reports_) endMs_ = std::max(endMs_, report.window().endMs);
    GLuint query = 0;
    glGenQueries(1, &query);
    query_ = query;
    if (options.splitDraws) split_ = std::make_unique<DrawSplit>();
}

void ShowProfiler::run() {
    while (!window_.isQuitRequested()) {
        const FramePlan frame = plan();
        if (scenes_.currentIndex() == kMainScene && frame.showMs >= endMs_) break;
        runFrame(frame);
        timer_.step();
        showTicks += static_cast<uint32_t>(timer_.getDeltaTime());
    }
    for (WindowReport& report : reports_) {
        if (!report.isClosed()) closeReport(report, "");
    }
}

ShowProfiler::FramePlan ShowProfiler::plan() {
    FramePlan frame;
    frame.showMs = timer_.getTime();
    // Scene 0's second of black is drawn as the show draws it.
    if (scenes_.currentIndex() != kMainScene) {
        frame.drawn = true;
        return frame;
    }
    bool warmingUp = false;
    for (WindowReport& report : reports_) {
        const ShowWindow& window = report.window();
        if (window.contains(frame.showMs)) frame.windows.push_back(&report);
        warmingUp = warmingUp || (frame.showMs >= window.startMs - kWarmUpMs && frame.showMs < window.startMs);
    }
    frame.drawn =
        !frame.windows.empty() || warmingUp || options_.drawEveryFrame || timer_.getFrame() % kSparseDrawEvery == 0;
    return frame;
}

void ShowProfiler::runFrame(const FramePlan& frame) {
    const bool measured = !frame.windows.empty();
    gl_call_counter::setWindowDrawingSkipped(!frame.drawn);
    gl_call_counter::take();
    for (WindowReport* report : frame.windows) {
        if (report->samples().empty()) report->beginThreads(threadTimesNow(), ClockReading::now().wallMs);
    }
    const ClockReading start = ClockReading::now();
    // On in every frame: llvmpipe compiles its shaders apart for counting.
    if (split_) {
        split_->beginFrame(measured);
    } else {
        glBeginQuery(GL_SAMPLES_PASSED, query_);
    }
    scenes_.update();
    // What the renderers gathered is drawn inside the frame it belongs to.
    GLBatch::flushCurrent();
    if (!split_) glEndQuery(GL_SAMPLES_PASSED);

    std::string picturePath;
    ClockReading pictureTime;
    if (measured && !options_.pictureFolder.empty() && endsWindow(frame)) {
        // Not part of the frame: taken out of its times.
        glFinish();
        const ClockReading before = ClockReading::now();
        picturePath = writeFramePicture(options_.pictureFolder, frame.showMs);
        pictureTime = ClockReading::now() - before;
    }
    presentFrame(frame.drawn);
    const ClockReading cost = ClockReading::now() - start - pictureTime;
    DrawSplitTable split;
    const uint64_t fragments = split_ ? split_->endFrame(split) : measured ? fragmentsCounted(query_) : 0;
    if (!measured) return;

    const FrameSample sample{frame.showMs,    cost.wallMs, cost.mainThreadCpuMs, cost.processCpuMs,
                             gl_call_counter::take(), fragments};
    for (WindowReport* report : frame.windows) {
        report->add(sample);
        report->addSplit(split);
        if (isLastOf(*report)) closeReport(*report, picturePath);
    }
}

bool ShowProfiler::endsWindow(const FramePlan& frame) const {
    return std::any_of(frame.windows.begin(), frame.windows.end(),
                       [this](const WindowReport* report) { return isLastOf(*report); });
}

// After the frame's update: the show may have asked to quit in it.
bool ShowProfiler::isLastOf(const WindowReport& report) const {
    return window_.isQuitRequested() || timer_.frameToTime(timer_.getFrame() + 1) >= report.window().endMs;
}

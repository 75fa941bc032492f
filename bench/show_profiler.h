#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bench/draw_split.h"
#include "bench/show_profile_options.h"
#include "bench/window_report.h"

class SceneManager;

// Resident and peak resident memory from /proc/self/status, in MB.
std::pair<double, double> residentMemoryMb();
// Memory malloc has handed out and not taken back (every arena and its
// mapped blocks), in MB.
double heapInUseMb();
class Timer;
class WindowSystem;

// Runs the started show frame by frame at the Timer's fixed step, until the
// last window ends or the show quits, and gathers what the frames of each
// window cost, printing each window as it ends. Frames outside the windows run all their logic but are drawn
// into the window only now and then (see show_profile.cpp).
class ShowProfiler {
public:
    // From then on the show's tick count moves only with the Timer's steps,
    // so that nothing in the show reads the machine's clock. Before start-up.
    static void takeOverTickSource();

    ShowProfiler(const ShowProfileOptions& options, SceneManager& scenes, WindowSystem& window);

    void run();
    const std::vector<WindowReport>& reports() const { return reports_; }

private:
    // What one frame is for.
    struct FramePlan {
        int showMs = 0;
        std::vector<WindowReport*> windows;
        bool drawn = false;
    };

    FramePlan plan();
    void runFrame(const FramePlan& plan);
    // Whether the frame just run is the last of a window it belongs to.
    bool endsWindow(const FramePlan& plan) const;
    bool isLastOf(const WindowReport& report) const;

    const ShowProfileOptions& options_;
    SceneManager& scenes_;
    WindowSystem& window_;
    Timer& timer_;
    std::vector<WindowReport> reports_;
    int endMs_ = 0;
    unsigned query_ = 0;
    // With --split, counts the fragments in place of query_.
    std::unique_ptr<DrawSplit> split_;
};

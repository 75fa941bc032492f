#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "bench/draw_split.h"
#include "bench/gl_call_counter.h"
#include "bench/show_profile_options.h"
#include "bench/thread_times.h"

// What one frame cost and asked for.
struct FrameSample {
    int showMs = 0;
    double wallMs = 0;
    double mainThreadCpuMs = 0;
    double processCpuMs = 0;
    GlCallCounts calls;
    uint64_t fragments = 0;
};

// The frames of one window and what is known at its end.
class WindowReport {
public:
    explicit WindowReport(ShowWindow window) : window_(std::move(window)) {}

    const ShowWindow& window() const { return window_; }
    void add(const FrameSample& sample) { samples_.push_back(sample); }
    // A frame's fragments and draws by key, with --split.
    void addSplit(const DrawSplitTable& split);
    // The threads' CPU times and the wall clock (ms) before the window's
    // first frame and after its last.
    void beginThreads(std::vector<ThreadTime> threads, double wallMs);
    void endThreads(const std::vector<ThreadTime>& threads, double wallMs);
    // After the window's last frame.
    void close(double residentMb, double peakResidentMb, std::string picturePath);
    bool isClosed() const { return closed_; }
    const std::vector<FrameSample>& samples() const { return samples_; }

    // Mean, 90th percentile and maximum per frame of every measure.
    void printDetail(std::FILE* out) const;
    // One line of means for the closing summary; the header comes first.
    static void printSummaryHeader(std::FILE* out);
    void printSummaryLine(std::FILE* out) const;

private:
    double framesPerSecond() const;
    void printThreads(std::FILE* out) const;
    void printSplit(std::FILE* out) const;

    ShowWindow window_;
    std::vector<FrameSample> samples_;
    double residentMb_ = 0;
    double peakResidentMb_ = 0;
    std::string picturePath_;
    bool closed_ = false;
    DrawSplitTable split_;
    std::vector<ThreadTime> threadsAtStart_;
    double wallAtStart_ = 0;
    ThreadGroupTimes threads_;
    double threadsWallMs_ = 0;
};

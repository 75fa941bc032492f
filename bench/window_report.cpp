#include "bench/window_report.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>

namespace {

struct Spread {
    double mean = 0;
    double p90 = 0;
    double max = 0;
};

// p90 by nearest rank: the smallest value that at least 90% of the frames reach.
Spread spreadOf(std::vector<double> values) {
    if (values.empty()) return {};
    std::sort(values.begin(), values.end());
    const std::size_t rank = static_cast<std::size_t>(std::ceil(0.9 * static_cast<double>(values.size())));
    return {std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size()), values[rank - 1],
            values.back()};
}

struct Measure {
    const char* name;
    // Its column in the summary.
    const char* shortName;
    int width;
    bool isCount;
    double (*of)(const FrameSample&);
};

const std::vector<Measure>& measures() {
    static const std::vector<Measure> all = {
        {"wall ms", "wall ms", 9, false, [](const FrameSample& s) { return s.wallMs; }},
        {"main-thread CPU ms", "main ms", 9, false, [](const FrameSample& s) { return s.mainThreadCpuMs; }},
        {"process CPU ms", "proc ms", 9, false, [](const FrameSample& s) { return s.processCpuMs; }},
        {"draw calls", "draws", 8, true, [](const FrameSample& s) { return static_cast<double>(s.calls.drawCalls); }},
        {"vertices", "vertices", 9, true, [](const FrameSample& s) { return static_cast<double>(s.calls.vertices); }},
        {"state calls", "states", 8, true,
         [](const FrameSample& s) { return static_cast<double>(s.calls.stateCalls); }},
        {"state changes", "changes", 8, true,
         [](const FrameSample& s) { return static_cast<double>(s.calls.stateChanges); }},
        {"fragments drawn", "fragments", 10, true,
         [](const FrameSample& s) { return static_cast<double>(s.fragments); }},
    };
    return all;
}

Spread spreadOf(const std::vector<FrameSample>& samples, const Measure& measure) {
    std::vector<double> values;
    values.reserve(samples.size());
    for (const FrameSample& sample : samples) values.push_back(measure.of(sample));
    return spreadOf(std::move(values));
}

}  // namespace

void WindowReport::addSplit(const DrawSplitTable& split) {
    for (const auto& [key, tally] : split) {
        DrawTally& sum = split_[key];
        sum.draws += tally.draws;
        sum.fragments += tally.fragments;
        sum.rasterMs += tally.rasterMs;
    }
}

void WindowReport::beginThreads(std::vector<ThreadTime> threads, double wallMs) {
    threadsAtStart_ = std::move(threads);
    wallAtStart_ = wallMs;
}

void WindowReport::endThreads(const std::vector<ThreadTime>& threads, double wallMs) {
    if (threadsAtStart_.empty()) return;
    threads_ = ThreadGroupTimes::between(threadsAtStart_, threads);
    threadsWallMs_ = wallMs - wallAtStart_;
}

void WindowReport::printThreads(std::FILE* out) const {
    if (threadsWallMs_ <= 0) return;
    const double frames = static_cast<double>(samples_.size());
    const auto busy = [this](double ms) { return 100.0 * ms / threadsWallMs_; };
    std::fprintf(out, "  CPU by thread, ms a frame (%% of one core over the window's %.1f s of wall):\n",
                 threadsWallMs_ / 1000.0);
    std::fprintf(out, "    main %.2f (%.0f%%), GL thread %.2f (%.0f%%), other %.2f (%.0f%%)\n",
                 threads_.mainMs / frames, busy(threads_.mainMs), threads_.glThreadMs / frames,
                 busy(threads_.glThreadMs), threads_.otherMs / frames, busy(threads_.otherMs));
    if (threads_.rasterThreads > 0) {
        std::fprintf(out, "    %d rasteriser threads %.2f together; each %.0f%% busy on average, the busiest %.0f%%\n",
                     threads_.rasterThreads, threads_.rasterMs / frames,
                     busy(threads_.rasterMs) / threads_.rasterThreads, busy(threads_.busiestRasterMs));
    }
}

void WindowReport::printSplit(std::FILE* out) const {
    if (split_.empty()) return;
    std::vector<std::pair<DrawKey, DrawTally>> rows(split_.begin(), split_.end());
    std::sort(rows.begin(), rows.end(),
              [](const auto& a, const auto& b) { return a.second.fragments > b.second.fragments; });
    uint64_t total = 0;
    for (const auto& row : rows) total += row.second.fragments;
    const double frames = static_cast<double>(samples_.size());
    std::fprintf(out, "  fragments and draws a frame by target, kind, source and program (draws split apart):\n");
    std::fprintf(out, "    %-7s %-14s %-15s %-22s %8s %11s %6s %9s %8s\n", "into", "kind", "source", "program", "draws",
                 "fragments", "share", "rast ms", "ns/frag");
    for (const auto& [key, tally] : rows) {
        const char* kind = key.kind == DrawProbe::KindCount ? "unprobed"
                                                            : DrawProbe::kindName(static_cast<DrawProbe::Kind>(key.kind));
        const double fragments = static_cast<double>(tally.fragments);
        std::fprintf(out, "    %-7s %-14s %-15s %-22s %8.1f %11.0f %5.1f%% %9.2f %8.1f\n", key.intoWindow ? "window" : "layer",
                     kind, key.source.empty() ? "-" : key.source.c_str(),
                     DrawSplit::programName(key.features, key.kind).c_str(), static_cast<double>(tally.draws) / frames,
                     fragments / frames, total > 0 ? 100.0 * fragments / static_cast<double>(total) : 0.0,
                     tally.rasterMs / frames, fragments > 0 ? tally.rasterMs * 1e6 / fragments : 0.0);
    }
}

void WindowReport::close(double residentMb, double peakResidentMb, std::string picturePath) {
    residentMb_ = residentMb;
    peakResidentMb_ = peakResidentMb;
    picturePath_ = std::move(picturePath);
    closed_ = true;
}

double WindowReport::framesPerSecond() const {
    double wallMs = 0;
    for (const FrameSample& sample : samples_) wallMs += sample.wallMs;
    return wallMs > 0 ? static_cast<double>(samples_.size()) * 1000.0 / wallMs : 0.0;
}

void WindowReport::printDetail(std::FILE* out) const {
    std::fprintf(out, "\nwindow %s: ", window_.label.c_str());
    if (samples_.empty()) {
        std::fprintf(out, "no frames (the show ended before it)\n");
        return;
    }
    std::fprintf(out, "%zu frames, show time %.3f to %.3f s, %.1f frames per second of wall time\n", samples_.size(),
                 samples_.front().showMs / 1000.0, samples_.back().showMs / 1000.0, framesPerSecond());
    std::fprintf(out, "  %-20s %12s %12s %12s\n", "per frame", "mean", "p90", "max");
    for (const Measure& measure : measures()) {
        Spread spread = spreadOf(samples_, measure);
        if (measure.isCount) {
            std::fprintf(out, "  %-20s %12.0f %12.0f %12.0f\n", measure.name, spread.mean, spread.p90, spread.max);
        } else {
            std::fprintf(out, "  %-20s %12.2f %12.2f %12.2f\n", measure.name, spread.mean, spread.p90, spread.max);
        }
    }
    printThreads(out);
    printSplit(out);
    std::fprintf(out, "  resident memory at its end: %.1f MB (peak so far %.1f MB)\n", residentMb_, peakResidentMb_);
    if (!picturePath_.empty()) std::fprintf(out, "  its last frame: %s\n", picturePath_.c_str());
}

void WindowReport::printSummaryHeader(std::FILE* out) {
    std::fprintf(out, "\n%-12s %7s %7s", "window", "frames", "fps");
    for (const Measure& measure : measures()) std::fprintf(out, " %*s", measure.width, measure.shortName);
    std::fprintf(out, " %8s %7s %7s %7s %6s\n", "RSS MB", "gl ms", "rast ms", "rast %", "main %");
}

void WindowReport::printSummaryLine(std::FILE* out) const {
    std::fprintf(out, "%-12s %7zu %7.1f", window_.label.c_str(), samples_.size(), framesPerSecond());
    for (const Measure& measure : measures()) {
        const double mean = spreadOf(samples_, measure).mean;
        std::fprintf(out, measure.isCount ? " %*.0f" : " %*.2f", measure.width, mean);
    }
    const double frames = std::max<double>(1.0, static_cast<double>(samples_.size()));
    const double wall = std::max(threadsWallMs_, 1e-9);
    const double rasterBusy = threads_.rasterThreads > 0 ? 100.0 * threads_.rasterMs / threads_.rasterThreads / wall : 0;
    std::fprintf(out, " %8.1f %7.2f %7.2f %7.0f %6.0f\n", residentMb_, threads_.glThreadMs / frames,
                 threads_.rasterMs / frames, rasterBusy, 100.0 * threads_.mainMs / wall);
}

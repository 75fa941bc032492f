#include "bench/window_report.h"

#include <algorithm>
#include <cmath>
#include <numeric>

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
    std::fprintf(out, "  resident memory at its end: %.1f MB (peak so far %.1f MB)\n", residentMb_, peakResidentMb_);
    if (!picturePath_.empty()) std::fprintf(out, "  its last frame: %s\n", picturePath_.c_str());
}

void WindowReport::printSummaryHeader(std::FILE* out) {
    std::fprintf(out, "\n%-12s %7s %7s", "window", "frames", "fps");
    for (const Measure& measure : measures()) std::fprintf(out, " %*s", measure.width, measure.shortName);
    std::fprintf(out, " %8s\n", "RSS MB");
}

void WindowReport::printSummaryLine(std::FILE* out) const {
    std::fprintf(out, "%-12s %7zu %7.1f", window_.label.c_str(), samples_.size(), framesPerSecond());
    for (const Measure& measure : measures()) {
        const double mean = spreadOf(samples_, measure).mean;
        std::fprintf(out, measure.isCount ? " %*.0f" : " %*.2f", measure.width, mean);
    }
    std::fprintf(out, " %8.1f\n", residentMb_);
}

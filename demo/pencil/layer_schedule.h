#pragma once

#include <cstddef>
#include <memory>
#include <vector>

// One phase of a render layer: how dark its strokes are and how many it
// draws per time slice.
class LayerSchedule {
public:
    // Every stroke at `value`.
    LayerSchedule(double value, int batches, int batchSize, int intervalMs);
    // Strokes fading linearly from `from` to `to` over all batches.
    LayerSchedule(double from, double to, int batches, int batchSize, int intervalMs);

    // One stroke was drawn.
    void advance();
    bool isDone() const;
    // True at most once per interval, on the Timer; the first call is due.
    bool isDue();

    double value() const { return value_; }
    int batchSize() const { return batchSize_; }
    // All the strokes it draws before it is done.
    std::size_t totalStrokes() const {
        return static_cast<std::size_t>(batches_) * static_cast<std::size_t>(batchSize_);
    }

private:
    double value_;
    double startValue_;
    double step_ = 0.0;
    int batches_;
    int batchSize_;
    int interval_;
    int lastSlice_ = -1;
    int strokesDrawn_ = 0;
};

// A render layer's phases, run one after the other; the last one stays
// current once it is done.
class PencilLayers {
public:
    explicit PencilLayers(std::vector<LayerSchedule> schedules);

    // Layer A: constant greys, darker phase by phase.
    static std::unique_ptr<PencilLayers> makeConstant();
    // Layer B: fading in, darkening, then fading out.
    static std::unique_ptr<PencilLayers> makeRamps();
    // Other looks: one dense dark phase, or long fine hatching.
    static std::unique_ptr<PencilLayers> makeSingle();
    static std::unique_ptr<PencilLayers> makeFine();

    void advance();
    bool isDue() { return current().isDue(); }
    bool isDone() const { return schedules_[index_].isDone(); }
    double value() const { return schedules_[index_].value(); }
    int batchSize() const { return schedules_[index_].batchSize(); }
    std::size_t currentIndex() const { return index_; }
    // All the strokes its phases draw: no more are ever taken from a field.
    std::size_t totalStrokes() const;

private:
    LayerSchedule& current() { return schedules_[index_]; }

    std::vector<LayerSchedule> schedules_;
    std::size_t index_ = 0;
};

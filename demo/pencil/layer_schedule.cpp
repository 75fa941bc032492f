#include "demo/pencil/layer_schedule.h"

#include "framework/clock/timer.h"

#include <utility>

LayerSchedule::LayerSchedule(double value, int batches, int batchSize, int intervalMs)
    : value_(value), startValue_(value), batches_(batches), batchSize_(batchSize), interval_(intervalMs) {}

LayerSchedule::LayerSchedule(double from, double to, int batches, int batchSize, int intervalMs)
    : LayerSchedule(from, batches, batchSize, intervalMs) {
    const double total = static_cast<double>(batches) * batchSize;
    step_ = (to - from) / total;
}

void LayerSchedule::advance() {
    ++strokesDrawn_;
    value_ = strokesDrawn_ * step_ + startValue_;
}

bool LayerSchedule::isDone() const { return strokesDrawn_ >= batches_ * batchSize_; }

bool LayerSchedule::isDue() {
    if (isDone()) return false;
    const int now = Timer::instance().getTime();
    if (now - lastSlice_ <= interval_) return false;
    lastSlice_ = now;
    return true;
}

PencilLayers::PencilLayers(std::vector<LayerSchedule> schedules) : schedules_(std::move(schedules)) {}

void PencilLayers::advance() {
    current().advance();
    if (current().isDone() && index_ + 1 < schedules_.size()) ++index_;
}

std::size_t PencilLayers::totalStrokes() const {
    std::size_t total = 0;
    for (const LayerSchedule& schedule : schedules_) total += schedule.totalStrokes();
    return total;
}

std::unique_ptr<PencilLayers> PencilLayers::makeConstant() {
    return std::make_unique<PencilLayers>(std::vector<LayerSchedule>{
        {0.01, 10000, 20, 15},
        {0.02, 10000, 20, 15},
        {0.03, 10000, 20, 15},
        {0.04, 10000, 20, 15},
        {0.1, 10000, 10, 15},
        {0.2, 10000, 10, 15},
    });
}

std::unique_ptr<PencilLayers> PencilLayers::makeRamps() {
    return std::make_unique<PencilLayers>(std::vector<LayerSchedule>{
        {0.01, 0.3, 1000, 50, 15},
        {0.3, 0.7, 250, 50, 15},
        {0.7, 0.0, 100, 50, 15},
    });
}

std::unique_ptr<PencilLayers> PencilLayers::makeSingle() {
    return std::make_unique<PencilLayers>(std::vector<LayerSchedule>{{0.5, 10000, 1000, 15}});
}

std::unique_ptr<PencilLayers> PencilLayers::makeFine() {
    return std::make_unique<PencilLayers>(std::vector<LayerSchedule>{
        {0.05, 100000, 100, 10},
        {0.1, 100000, 100, 10},
        {0.1, 100000, 100, 10},
        {0.15, 100000, 100, 10},
    });
}

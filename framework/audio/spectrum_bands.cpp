#include "framework/audio/spectrum_bands.h"

#include <algorithm>

void SpectrumWeighting::addSegment(float fromFraction, float toFraction, float fromValue, float toValue) {
    const float bins = static_cast<float>(binCount_);
    points_.push_back({fromValue, static_cast<int>(bins * fromFraction)});
    points_.push_back({toValue, static_cast<int>(bins * toFraction)});
    gain_ = 1.0f;
}

float SpectrumWeighting::weightAt(int bin) const {
    if (points_.empty()) return gain_;
    auto after = std::find_if(points_.begin(), points_.end(), [bin](const Point& point) { return point.bin >= bin; });
    if (after == points_.end()) return points_.back().value * gain_;
    if (after == points_.begin() || after->bin == bin) return after->value * gain_;
    const Point& before = *(after - 1);
    const float share = static_cast<float>(bin - before.bin) / static_cast<float>(after->bin - before.bin);
    return (before.value + (after->value - before.value) * share) * gain_;
}

float SpectrumBands::average(float from, float to) const {
    const int count = static_cast<int>(bins_.size());
    const auto binAt = [count](float fraction) {
        if (!(fraction > 0.0f)) return 0;
        return fraction >= 1.0f ? count : static_cast<int>(static_cast<float>(count) * fraction);
    };
    const int first = binAt(from);
    const int end = binAt(to);
    if (end - first <= 0) return 0.0f;
    float sum = 0.0f;
    for (int bin = first; bin < end; ++bin) sum += value(bin);
    return sum / static_cast<float>(end - first);
}

float SpectrumBands::value(int bin) const {
    if (bin < 0 || bin >= static_cast<int>(bins_.size())) return 0.0f;
    const float raw = bins_[static_cast<std::size_t>(bin)];
    return weighting_ ? raw * weighting_->weightAt(bin) : raw;
}

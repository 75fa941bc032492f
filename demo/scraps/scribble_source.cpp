#include "demo/scraps/scribble_source.h"

#include <algorithm>

#include "engine/core/exception.h"
#include "figures/random.h"
#include "framework/clock/timer.h"

namespace {

constexpr float kBottom = 495.0f;
constexpr int kWornHalfWidth = 30;

}  // namespace

ScribbleSource::ScribbleSource() {
    pauseStart_ = static_cast<int>(randomRange(5000.0f, 10000.0f));
    pauseEnd_ = static_cast<int>(static_cast<float>(pauseStart_) + randomRange(500.0f, 3000.0f));
    buildCeiling();
    floor_.fill(kBottom);
    samples_.reserve(kSamples);
    for (int round = 0; round < kSamples; ++round) addSample(round);
}

// A random walk that may rise anywhere on the left and is held down ever
// lower toward the right.
void ScribbleSource::buildCeiling() {
    int h = static_cast<int>(450.0f + randomRange(-50.0f, 50.0f));
    for (int i = 0; i < kColumns; ++i) {
        h = static_cast<int>(static_cast<float>(h) + randomRange(-100.0f, 100.0f));
        if (i > 270) {
            const float lowest = static_cast<float>(i - 270) / 180.0f * 100.0f + 450.0f;
            if (static_cast<float>(h) < lowest) h = static_cast<int>(lowest);
        }
        ceiling_[i] = static_cast<float>(h);
    }
}

// One point between the pile's top and the bottom; now and then the band of
// columns widens and the pile grows around the column drawn.
void ScribbleSource::addSample(int round) {
    const int c = static_cast<int>(randomRange(bandLow_, bandHigh_));
    const int k = std::clamp(c, 0, kColumns - 1);
    const int y = static_cast<int>(randomRange(static_cast<float>(static_cast<int>(floor_[k])), kBottom));
    if (oneIn(round < 1000 ? 5.0f : 10.0f)) {
        bandLow_ -= randomRange(0.0f, 2.0f);
        bandHigh_ += randomRange(0.0f, 2.0f);
        for (int j = std::max(k - kWornHalfWidth, 0); j < std::min(k + kWornHalfWidth, kColumns); ++j) {
            floor_[j] -= randomRange(0.0f, 1.0f);
        }
        bandLow_ = std::max(bandLow_, -10.0f);
        bandHigh_ = std::min(bandHigh_, 450.0f);
        floor_[k] = std::max(floor_[k], ceiling_[k]);
    }
    samples_.push_back({static_cast<float>(c - 30), static_cast<float>(y)});
}

bool ScribbleSource::hasMore() {
    const int now = Timer::instance().getTime();
    if (now > pauseStart_) {
        if (now <= pauseEnd_) return false;
        pauseStart_ = static_cast<int>(randomRange(5000.0f, 10000.0f) + static_cast<float>(now));
        pauseEnd_ = static_cast<int>(randomRange(0.0f, 2000.0f) + static_cast<float>(pauseStart_));
    }
    if (cursor_ >= samples_.size() || now < holdUntil_) return false;
    if (++burstCount_ <= kBurstSize) return true;
    holdUntil_ = static_cast<int>(randomRange(0.0f, 50.0f) + static_cast<float>(now));
    burstCount_ = 0;
    return true;
}

Vec2 ScribbleSource::next() {
    if (cursor_ >= samples_.size()) ZENTAC_THROW("scribble asked for a point past its last");
    return samples_[cursor_++];
}

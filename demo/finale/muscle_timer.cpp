#include "demo/finale/muscle_timer.h"

#include "figures/random.h"
#include "framework/clock/timer.h"

#include <algorithm>

namespace {

float now() { return static_cast<float>(Timer::instance().getTime()); }

constexpr float holdTime = 300.0f;

}  // namespace

void MuscleTimer::restart() {
    start_ = now();
    period_ = randomRange(100.0f, 1000.0f);
    done_ = false;
    // A draw whose result nothing uses; it keeps the creature's sequence of
    // random numbers in step.
    oneIn(2.0f);
    hold_ = oneIn(4.0f);
    amplitude_ = randomRange(6.0f, 9.0f);
    factor_ = 2000.0f / period_;
    curve_ = randomRange(1.0f, 5.0f);
    floor_ = randomRange(0.03f, 0.1f);
}

bool MuscleTimer::isDone() {
    if (now() - start_ >= period_) done_ = true;
    return done_;
}

float MuscleTimer::contraction() {
    if (isDone()) return 0.0f;
    float elapsed = now() - start_;
    float p = elapsed / period_;
    float v = curve_ * (2.0f * p - 1.0f) * (2.0f * p - 1.0f);
    if (hold_ && elapsed < holdTime) v = amplitude_;
    v = std::clamp(v * factor_, 0.0f, 1.0f);
    return v <= floor_ ? floor_ : v;
}

#include "demo/finale/cloth_clock.h"

#include "framework/clock/timer.h"

float ClothClock::read() {
    float now = static_cast<float>(Timer::instance().getTime());
    if (!isStarted()) start_ = now;
    return now - start_;
}

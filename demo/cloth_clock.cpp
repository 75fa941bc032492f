#include "demo/cloth_clock.h"

#include "framework/timer.h"

float ClothClock::read() {
    float now = static_cast<float>(Timer::instance().getTime());
    if (!isStarted()) start_ = now;
    return now - start_;
}

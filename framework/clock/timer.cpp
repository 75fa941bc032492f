#include "framework/clock/timer.h"

#include "framework/window/platform_backend.h"

Timer& Timer::instance() {
    static Timer* timer = new Timer;
    return *timer;
}

Timer::Timer() {
    reset();
    update();
}

uint32_t Timer::now() const { return Platform::getTickCount(); }

void Timer::reset() {
    start_ = now();
    time_ = frame_ = previousTime_ = previousFrame_ = 0;
}

void Timer::update() {
    if (fixedStep_) return;
    previousTime_ = time_;
    previousFrame_ = frame_;
    // Unsigned difference: correct across the 32-bit wrap of the tick count.
    time_ = static_cast<int32_t>(now() - start_);
    frame_ = timeToFrame(time_);
    takeDeltas();
}

void Timer::step() {
    previousTime_ = time_;
    previousFrame_ = frame_;
    frame_ += 1;
    time_ = frameToTime(frame_);
    takeDeltas();
}

void Timer::takeDeltas() {
    deltaTime_ = time_ - previousTime_;
    deltaFrames_ = frame_ - previousFrame_;
}

int Timer::timeToFrame(int ms) const { return static_cast<int>(ms / 1000.0 * rate_); }

int Timer::frameToTime(int frame) const { return static_cast<int>(frame / static_cast<double>(rate_) * 1000.0); }

void Timer::resetToStart() { *this = Timer(); }

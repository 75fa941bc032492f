#include "demo/shared/demo_clock.h"

#include "framework/clock/timer.h"

DemoClock& DemoClock::instance() {
    static DemoClock* clock = new DemoClock;
    return *clock;
}

bool DemoClock::isOver() {
    int now = Timer::instance().getTime();
    if (!over_ && now > endSequenceStart) {
        latchTime_ = now;
        over_ = true;
    }
    return over_;
}

int DemoClock::elapsed() const { return Timer::instance().getTime() - latchTime_; }

void DemoClock::resetToStart() {
    latchTime_ = 0;
    over_ = false;
}

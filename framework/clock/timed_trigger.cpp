#include "framework/clock/timed_trigger.h"

#include "framework/clock/timer.h"

TimedTrigger::TimedTrigger(const std::vector<int>& times) {
    for (int time : times) {
        if (time < 0) break;
        times_.push_back(time);
    }
}

int TimedTrigger::poll() {
    if (next_ >= times_.size() || Timer::instance().getTime() < times_[next_]) return 0;
    ++next_;
    return 1;
}

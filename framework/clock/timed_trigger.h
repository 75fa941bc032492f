#pragma once

#include "framework/triggers/trigger.h"

#include <cstddef>
#include <vector>

// Fires at fixed scene times, in the order given, at most once per poll: times
// that have all passed fire on successive frames.
class TimedTrigger : public Trigger {
public:
    // Milliseconds of scene time; the list ends at its end or at the first
    // negative time.
    explicit TimedTrigger(const std::vector<int>& times);

    int poll() override;
    int value() override { return getId(); }

private:
    std::vector<int> times_;
    std::size_t next_ = 0;
};

#pragma once

#include "framework/triggers/trigger.h"

// Hits in every frame in which the mean level of a band of the recorded
// sound's spectrum reaches a threshold.
class SoundLevelTrigger : public Trigger {
public:
    // The band runs from the from fraction to the to fraction of the bins.
    SoundLevelTrigger(float threshold, float from, float to) : threshold_(threshold), from_(from), to_(to) {}

    int poll() override;
    int value() override { return getId(); }

private:
    float threshold_;
    float from_;
    float to_;
};

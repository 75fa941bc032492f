// demo/shared: the demo clock, 3D vectors and data texts; uses framework, engine.
#pragma once

#include "framework/triggers/triggerable.h"

// Marks the start of the end sequence: the first time the scene time is
// past 462000 ms it latches, and it stays latched for the rest of the run.
class DemoClock : public Triggerable {
public:
    static constexpr int endSequenceStart = 462000;

    static DemoClock& instance();
    // Back to the state of a fresh process (test programs run many cases in one).
    void resetToStart();

    using Triggerable::trigger;
    void trigger(int) override {}

    bool isOver();
    // Ms since the end sequence began; ask only after isOver said true.
    int elapsed() const;

private:
    DemoClock() = default;

    int latchTime_ = 0;
    bool over_ = false;
};

#pragma once

#include "framework/triggers/triggerable.h"

class PositionList;

// Begins a new recorded stroke on a position list, whatever the value.
class StrokeTrigger : public Triggerable {
public:
    // The list is not owned; without one the trigger does nothing.
    explicit StrokeTrigger(PositionList* list) : list_(list) {}

    using Triggerable::trigger;
    void trigger(int value) override;

private:
    PositionList* list_;
};

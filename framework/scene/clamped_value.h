#pragma once

#include "framework/scene/control_actions.h"

// A value stepped up and down by two actions, read back clamped into its
// range. Bound to a MIDI controller's two directions.
class ClampedValue {
public:
    ClampedValue(float minimum, float maximum, float initial, float upStep, float downStep);
    ClampedValue(const ClampedValue&) = delete;
    ClampedValue& operator=(const ClampedValue&) = delete;

    Triggerable* upAction() { return &up_; }
    Triggerable* downAction() { return &down_; }
    // Clamps the stored value into [minimum, maximum] and returns it.
    float get();

private:
    AddStepAction up_;
    AddStepAction down_;
    float maximum_;
    float minimum_;
    float value_;
};

#pragma once

#include "framework/triggers/triggerable.h"

// Requests quit on the third press within 1000 ms of the first press of a
// series; a press 1000 ms or more after it starts a new series.
class TriplePressQuitAction : public Triggerable {
public:
    void trigger(int value) override;
    using Triggerable::trigger;

private:
    int firstPress_ = -10000000;
    int presses_ = 0;
};

// Switches the show to one scene; a scene that does not exist is ignored.
class JumpToSceneAction : public Triggerable {
public:
    explicit JumpToSceneAction(unsigned scene) : scene_(scene) {}
    void trigger(int value) override;
    using Triggerable::trigger;

private:
    unsigned scene_;
};

// Adds a fixed step to a value it does not own.
class AddStepAction : public Triggerable {
public:
    AddStepAction(float* target, float step) : target_(target), step_(step) {}
    void trigger(int) override { *target_ += step_; }
    using Triggerable::trigger;

private:
    float* target_;
    float step_;
};

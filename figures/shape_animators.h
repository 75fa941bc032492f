#pragma once

#include "figures/animator.h"

// Scales the position, pivot and child offset by the track value.
class OffsetScaleAnimator : public Animator {
public:
    explicit OffsetScaleAnimator(float initial) : Animator(initial) {}

    Element* apply(Element* e) override;
};

// An offset scale whose key values each get a random factor in
// [1 - spread / 2, 1 + spread / 2). Draws one number per key.
class SpreadOffsetScaleAnimator : public OffsetScaleAnimator {
public:
    SpreadOffsetScaleAnimator(float initial, float spread) : OffsetScaleAnimator(initial), spread_(spread) {}

    void addKey(float value, int time) override;

private:
    float spread_;
};

// Turns the shape points about a centre, and the position and pivot about
// the parent's origin, by the track value in radians.
class RotateAnimator : public Animator {
public:
    RotateAnimator(float cx, float cy, float initial) : Animator(initial), cx_(cx), cy_(cy) {}

    Element* apply(Element* e) override;

private:
    float cx_;
    float cy_;
    // cos and sin are recomputed only when the angle changes.
    float cachedAngle_ = 0.0f;
    float cos_ = 1.0f;
    float sin_ = 0.0f;
};

// Scales the shape points (not the position) by the track value.
class ScaleAnimator : public Animator {
public:
    explicit ScaleAnimator(float initial) : Animator(initial) {}

    Element* apply(Element* e) override;
};

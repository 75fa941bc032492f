#pragma once

#include "figures/animator.h"
#include "figures/color.h"

// Adds the track value to the fill and outline alpha, unclamped.
class AlphaAddAnimator : public Animator {
public:
    explicit AlphaAddAnimator(float initial) : Animator(initial) {}

    Element* apply(Element* e) override;
};

// Mixes the fill alpha with a random alpha by the figure flicker. Draws a
// number on every apply, flicker or not.
class RandomBlendAnimator : public Animator {
public:
    RandomBlendAnimator() : Animator(0.0f) {}

    Element* apply(Element* e) override;
};

// Sets the fill and outline alpha to the track value; at 0 the node counts
// as inactive and is not drawn.
class AlphaSetAnimator : public Animator {
public:
    explicit AlphaSetAnimator(float initial) : Animator(initial) {}

    Element* apply(Element* e) override;
    bool isActive() override { return value() != 0.0f; }
};

// Blends both colours toward an opaque target by the track value.
class ColorTargetAnimator : public Animator {
public:
    ColorTargetAnimator(RGB target, float initial) : Animator(initial), target_(target) {}

    Element* apply(Element* e) override;

private:
    RGB target_;
};

#pragma once

#include "figures/animator.h"

#include <vector>

// Places its figure at a random point of a box, drawn anew on each trigger.
// Late in the show the point avoids the exclusion boxes; early on it lands
// 200 to the right.
class RandomPlaceAnimator : public Animator {
public:
    RandomPlaceAnimator(int x0, int x1, int y0, int y1) : Animator(0.0f), x0_(x0), x1_(x1), y0_(y0), y1_(y1) {}

    using Animator::trigger;
    // Draws the point; neither restarts the track nor marks a change.
    void trigger(int value) override;
    Element* apply(Element* e) override;

    // A closed box, from its minimum to its maximum corner.
    void addExclusion(Vec2 min, Vec2 max);

private:
    // Bounds the redraws when the boxes leave little or nothing of the range
    // free; the last point drawn is then taken as it is.
    static constexpr int kMaxDraws = 1000;

    // Whether p lies in one of the boxes (closed); only late in the show.
    bool isExcluded(Vec2 p) const;

    int x0_, x1_, y0_, y1_;
    Vec2 chosen_;
    struct Box {
        Vec2 min;
        Vec2 max;
    };
    std::vector<Box> exclusions_;
};

// Places its figure at a fixed screen offset.
class SetOffsetAnimator : public Animator {
public:
    SetOffsetAnimator(float x, float y) : Animator(0.0f), offset_{x, y} {}

    Element* apply(Element* e) override;

private:
    Vec2 offset_;
};

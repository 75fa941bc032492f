#include "figures/placement_animators.h"

#include "figures/random.h"
#include "framework/clock/timer.h"

namespace {

// Scene time before which placed figures are shifted right.
constexpr int kEarlyShiftUntil = 14000;
constexpr float kEarlyShift = 200.0f;
// Scene time from which the exclusion boxes count.
constexpr int kExclusionFrom = 180000;

}  // namespace

void RandomPlaceAnimator::trigger(int) {
    Vec2 p;
    for (int draw = 0; draw < kMaxDraws; ++draw) {
        p.x = randomRange(static_cast<float>(x0_), static_cast<float>(x1_));
        p.y = randomRange(static_cast<float>(y0_), static_cast<float>(y1_));
        if (!isExcluded(p)) break;
    }
    if (Timer::instance().getTime() < kEarlyShiftUntil) p.x += kEarlyShift;
    chosen_ = p;
}

Element* RandomPlaceAnimator::apply(Element* e) {
    e->setOffset(chosen_);
    return e;
}

void RandomPlaceAnimator::addExclusion(Vec2 min, Vec2 max) {
    exclusions_.push_back({min, max});
}

bool RandomPlaceAnimator::isExcluded(Vec2 p) const {
    if (Timer::instance().getTime() < kExclusionFrom) return false;
    for (const Box& box : exclusions_) {
        if (box.min.x <= p.x && p.x <= box.max.x && box.min.y <= p.y && p.y <= box.max.y) return true;
    }
    return false;
}

Element* SetOffsetAnimator::apply(Element* e) {
    e->setOffset(offset_);
    return e;
}

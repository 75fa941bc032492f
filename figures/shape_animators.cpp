#include "figures/shape_animators.h"

#include "figures/random.h"

#include <cmath>

Element* OffsetScaleAnimator::apply(Element* e) {
    float v = value();
    e->setPos(e->pos() * v);
    e->setPivot(e->pivot() * v);
    e->setChildOffset(e->childOffset() * v);
    return e;
}

void SpreadOffsetScaleAnimator::addKey(float value, int time) {
    float r = (nextRandom() % 10000) / 10000.0f;
    OffsetScaleAnimator::addKey(value * (r * spread_ - spread_ / 2.0f + 1.0f), time);
}

Element* RotateAnimator::apply(Element* e) {
    // The angle is wrapped in single precision, so that a full turn of the
    // track comes out as exactly no turn at all.
    constexpr float kFullTurn = 6.283184f;
    float a = value();
    float turns = a / kFullTurn;
    a = (turns - std::trunc(turns)) * kFullTurn;
    if (a == 0.0f) return e;
    if (a != cachedAngle_) {
        cachedAngle_ = a;
        cos_ = std::cos(a);
        sin_ = std::sin(a);
    }
    auto turned = [this](Vec2 d) { return Vec2{d.x * cos_ - d.y * sin_, d.x * sin_ + d.y * cos_}; };
    Vec2 centre{cx_, cy_};
    for (int i = 0; i < e->count(); ++i) {
        Vec2& p = e->pointAt(i);
        p = turned(p - centre) + centre;
    }
    e->setPos(turned(e->pos()));
    e->setPivot(turned(e->pivot()));
    return e;
}

Element* ScaleAnimator::apply(Element* e) {
    float v = value();
    for (int i = 0; i < e->count(); ++i) e->pointAt(i) = e->pointAt(i) * v;
    return e;
}

#include "figures/color_animators.h"

#include "figures/main_envelopes.h"
#include "figures/random.h"

Element* AlphaAddAnimator::apply(Element* e) {
    float v = value();
    RGBA fill = e->color();
    RGBA outline = e->color2();
    fill.a += v;
    outline.a += v;
    e->setColor(fill);
    e->setColor2(outline);
    return e;
}

Element* RandomBlendAnimator::apply(Element* e) {
    float f = MainEnvelopes::instance().flicker();
    float r = (nextRandom() % 1000) / 1000.0f;
    RGBA fill = e->color();
    fill.a = fill.a * (1.0f - f) + r * f;
    e->setColor(fill);
    return e;
}

Element* AlphaSetAnimator::apply(Element* e) {
    float v = value();
    RGBA fill = e->color();
    RGBA outline = e->color2();
    fill.a = v;
    outline.a = v;
    e->setColor(fill);
    e->setColor2(outline);
    return e;
}

Element* ColorTargetAnimator::apply(Element* e) {
    float v = value();
    RGBA target{target_.r, target_.g, target_.b, 1.0f};
    RGBA toward = rgbaScale(target, v);
    e->setColor(rgbaAdd(toward, rgbaScale(e->color(), 1.0f - v)));
    e->setColor2(rgbaAdd(toward, rgbaScale(e->color2(), 1.0f - v)));
    return e;
}

#include "figures/figure_generators.h"

#include "figures/animator_group.h"
#include "figures/color_animators.h"
#include "figures/figure_build.h"
#include "figures/figure_parts.h"
#include "figures/grid_walker.h"
#include "figures/placement_animators.h"
#include "figures/random.h"
#include "figures/shape_animators.h"

#include <initializer_list>

// Draw order rule for this file: a value drawn inside a key table is drawn
// when its key is added (braced lists run left to right), a drawn shape size
// is drawn after the shape's colour source, and no call gets two drawing
// arguments.

namespace {

struct Key {
    float value;
    int time;
};

void addKeys(Animator* animator, std::initializer_list<Key> keys) {
    for (const Key& key : keys) animator->addKey(key.value, key.time);
}

AnimatorGroup* makeGroup(FigureParts& parts, std::initializer_list<Animator*> animators) {
    auto* group = parts.makeAnimator<AnimatorGroup>();
    for (Animator* animator : animators) group->add(animator);
    return group;
}

// The first trigger starts the first stage, the next one the second, and so
// on in turn.
AnimatorGroup* makeTwoStageGroup(FigureParts& parts, std::initializer_list<Animator*> first,
                                 std::initializer_list<Animator*> second) {
    AnimatorGroup* group = makeGroup(parts, first);
    group->newStage();
    for (Animator* animator : second) group->add(animator);
    group->rewind();
    return group;
}

template <class A, class... Args>
A* make(FigureBuild& fb, Args&&... args) {
    return fb.parts().makeAnimator<A>(std::forward<Args>(args)...);
}

RandomPlaceAnimator* placeAnywhere(FigureBuild& fb) { return make<RandomPlaceAnimator>(fb, 0, 640, 0, 480); }

RotateAnimator* makeRotate(FigureBuild& fb, float initial = 0.0f) {
    return make<RotateAnimator>(fb, 0.0f, 0.0f, initial);
}

// The colour comes first: a random source draws when it is made.
ShapeSpec circleSpec(std::unique_ptr<ColorSource> color, int count, float size = -1.0f) {
    ShapeSpec spec;
    spec.setColor(std::move(color));
    spec.setKind(ShapeSpec::Circle);
    spec.setCount(count);
    spec.setSize(size);
    return spec;
}

ShapeSpec rectSpec(std::unique_ptr<ColorSource> color, float x, float y, float w, float h) {
    ShapeSpec spec;
    spec.setColor(std::move(color));
    spec.setKind(ShapeSpec::Rect);
    spec.setRect(x, y, w, h);
    return spec;
}

// A hub with knobs and spokes taking turns on twelve anchor points around
// it, each level animated by its group.
AnimatorGroup* buildWheel(FigureBuild& fb, const ShapeSpec& hub, AnimatorGroup* hubGroup, const ShapeSpec& knob,
                          AnimatorGroup* knobGroup, const ShapeSpec& spoke, AnimatorGroup* spokeGroup) {
    static const EveryNth kOddOnly(2, true);
    static const EveryNth kEvenOnly(2, false);
    AnimatorGroup* outer = makeGroup(fb.parts(), {hubGroup, knobGroup, spokeGroup});
    fb.finishFigure(hub, hubGroup);
    fb.nextLevel(12);
    fb.finishFigure(knob, knobGroup, &kOddOnly);
    fb.finishFigure(spoke, spokeGroup, &kEvenOnly);
    return outer;
}

// One shape on the root, animated by one group.
AnimatorGroup* buildSingle(FigureBuild& fb, const ShapeSpec& shape, std::initializer_list<Animator*> animators) {
    AnimatorGroup* level = makeGroup(fb.parts(), animators);
    AnimatorGroup* outer = makeGroup(fb.parts(), {level});
    fb.finishFigure(shape, level);
    return outer;
}

// A centre shape with a ring of shapes on its anchor points, all animated
// by one group. The ring's size is drawn once the centre is placed.
template <class DrawRingSize>
AnimatorGroup* buildStar(FigureBuild& fb, const ShapeSpec& centre, const ShapeSpec& ring, DrawRingSize drawRingSize,
                         std::initializer_list<Animator*> animators) {
    AnimatorGroup* level = makeGroup(fb.parts(), animators);
    AnimatorGroup* outer = makeGroup(fb.parts(), {level});
    fb.finishFigure(centre, level);
    fb.nextLevel(drawRingSize());
    fb.finishFigure(ring, level);
    return outer;
}

// A big ring that bursts into three rings of circles flying outward; its
// second trigger fades the whole figure out. Always at the same place.
class RingBurstGenerator : public FigureGenerator {
public:
    AnimatorGroup* build(FigureBuild& fb) override {
        auto* turn = makeRotate(fb);
        addKeys(turn, {{0, 0}, {40, 10000}});
        auto* fadeOut = make<AlphaAddAnimator>(fb, 0.0f);
        addKeys(fadeOut, {{-1, 0}, {-1, 500}, {0, 1000}});
        ShapeSpec ring = circleSpec(makeColorPresetA(), 65, 10);
        auto* ringScale = make<ScaleAnimator>(fb, 0.0f);
        addKeys(ringScale, {{0, 0}, {16, 500}, {200, 10000}});
        auto* ringAlpha = make<AlphaSetAnimator>(fb, 0.0f);
        addKeys(ringAlpha, {{0, 0}, {1, 1000}, {0, 3500}});
        auto* at = make<SetOffsetAnimator>(fb, 620.0f, 300.0f);
        ShapeSpec small = circleSpec(makeColorPresetA(), 20, 5);
        ShapeSpec middle = circleSpec(makeColorPresetA(), 20, 15);
        ShapeSpec large = circleSpec(makeColorPresetA(), 20, 20);
        auto* alpha = make<AlphaSetAnimator>(fb, 0.0f);
        addKeys(alpha, {{0, 0}, {0, 150}, {1, 200}, {1, 7500}, {0, 8000}});
        auto* scale = make<ScaleAnimator>(fb, 0.0f);
        addKeys(scale, {{0.1f, 0}, {0.1f, 500}, {1, 4000}, {0, 7000}});
        auto* spread1 = make<OffsetScaleAnimator>(fb, 0.0f);
        addKeys(spread1, {{0, 0}, {4, 500}, {20, 5000}});
        auto* spread2 = make<OffsetScaleAnimator>(fb, 0.0f);
        addKeys(spread2, {{0, 0}, {8, 500}, {100, 10000}});
        auto* spread3 = make<OffsetScaleAnimator>(fb, 0.0f);
        addKeys(spread3, {{0, 0}, {16, 500}, {200, 10000}});

        FigureParts& parts = fb.parts();
        AnimatorGroup* g1 = makeTwoStageGroup(parts, {ringScale, ringAlpha, at}, {fadeOut});
        AnimatorGroup* g2 = makeTwoStageGroup(parts, {spread1, scale, turn, alpha}, {fadeOut});
        AnimatorGroup* g3 = makeTwoStageGroup(parts, {spread2, alpha}, {});
        AnimatorGroup* g4 = makeTwoStageGroup(parts, {alpha, spread3}, {});
        AnimatorGroup* outer = makeGroup(parts, {g1, g2, g3, g4});

        fb.finishFigure(ring, g1);
        fb.nextLevel(20);
        fb.finishFigure(small, g2);
        fb.finishFigure(middle, g3);
        fb.finishFigure(large, g4);
        return outer;
    }
};

// A spinning wheel of circles and spokes that pops up somewhere and fades.
class WheelGenerator : public FigureGenerator {
public:
    AnimatorGroup* build(FigureBuild& fb) override {
        float life = randomRange(2000, 3000);
        float pace = randomRange(0.5f, 1);
        auto* alpha = make<AlphaSetAnimator>(fb, 0.0f);
        addKeys(alpha, {{0, 0}, {0.8f, 100}, {0, static_cast<int>(life)}});
        auto* turn = makeRotate(fb);
        addKeys(turn, {{0, 0}, {0, 100}, {0.5f, 200}, {randomRange(25, 50), 10000}});
        float k = 1;
        if (oneIn(2)) k = randomRange(0.1f, 0.5f);
        ShapeSpec hub = circleSpec(makeColorPresetA(), 45);
        hub.setSize(randomRange(15, 30) * k);
        auto* place = make<RandomPlaceAnimator>(fb, 100, 400, 100, 300);
        auto* hubScale = make<ScaleAnimator>(fb, 0.0f);
        addKeys(hubScale, {{0, 0}, {0.4f, 100}, {1, static_cast<int>(1700 * pace)}});
        if (oneIn(2)) hubScale->addKey(0, static_cast<int>(life));
        ShapeSpec knob = circleSpec(makeColorPresetA(), 15, 7 * k);
        auto* knobSpread = make<OffsetScaleAnimator>(fb, 0.0f);
        addKeys(knobSpread, {{0, 0}, {1, static_cast<int>(1500 * pace)}});
        ShapeSpec spoke = rectSpec(makeColorPresetA(), 0, -5 * k, 30 * k, 10 * k);
        auto* spokeScale = make<ScaleAnimator>(fb, 0.0f);
        addKeys(spokeScale, {{0, 0}, {1, static_cast<int>(2500 * pace)}});
        if (oneIn(3)) spokeScale->addKey(0, static_cast<int>(life));
        auto* spokeSpread = make<OffsetScaleAnimator>(fb, 0.0f);
        addKeys(spokeSpread, {{0, 0}, {1, 4000}});

        FigureParts& parts = fb.parts();
        AnimatorGroup* g1 = makeGroup(parts, {hubScale, place, turn, alpha});
        AnimatorGroup* g2 = makeGroup(parts, {knobSpread, turn, alpha});
        AnimatorGroup* g3 = makeGroup(parts, {spokeSpread, spokeScale, turn, alpha});
        return buildWheel(fb, hub, g1, knob, g2, spoke, g3);
    }
};

// An invisible black pair whose grey rings jump outward in uneven steps.
class JumpGenerator : public FigureGenerator {
public:
    AnimatorGroup* build(FigureBuild& fb) override {
        float life = randomRange(2000, 6000);
        auto* alpha = make<AlphaSetAnimator>(fb, 0.0f);
        addKeys(alpha, {{0.3f, 0}, {0, static_cast<int>(life)}});
        auto* hidden = make<AlphaSetAnimator>(fb, 0.0f);
        auto* turn = makeRotate(fb);
        addKeys(turn, {{0, 0}, {static_cast<float>(nextRandom() % 10 + 0.5), static_cast<int>(life)}});
        ShapeSpec core = circleSpec(std::make_unique<FixedColor>(RGB{}, RGB{}), 15, 3);
        auto* place = placeAnywhere(fb);
        auto* coreScale = make<ScaleAnimator>(fb, 0.0f);
        addKeys(coreScale, {{0, 0}, {1, 200}});
        ShapeSpec ring = circleSpec(makeColorPresetB(), 15, 5);
        // Each key draws its own value first and then its spread.
        auto* jump = make<SpreadOffsetScaleAnimator>(fb, 0.0f, 0.1f);
        jump->addKey(0, 0);
        jump->addKey(static_cast<float>(nextRandom() % 100 + 1), 200);
        jump->addKey(static_cast<float>(nextRandom() % 500 + 4.5), 300);
        jump->addKey(static_cast<float>(nextRandom() % 30 + 30.5), 2000);

        FigureParts& parts = fb.parts();
        AnimatorGroup* g1 = makeGroup(parts, {coreScale, place, turn, hidden});
        AnimatorGroup* g2 = makeGroup(parts, {jump, turn, alpha});
        AnimatorGroup* outer = makeGroup(parts, {g1, g2});

        fb.finishFigure(core, g1);
        fb.nextLevel(2);
        fb.finishFigure(ring, g2);
        return outer;
    }
};

// A wheel that swells on its first trigger and fades out on its second.
class SwellWheelGenerator : public FigureGenerator {
public:
    AnimatorGroup* build(FigureBuild& fb) override {
        float f1 = nextRandom() % 1000 / 1000.0f + 0.1f;
        float f2 = nextRandom() % 1000 / 1000.0f + 1.0f;
        // Once a choice between two stagings that came out the same.
        nextRandom();
        auto* alpha = make<AlphaSetAnimator>(fb, 0.0f);
        addKeys(alpha, {{0, 0}, {1, nextRandom() % 100}, {0, nextRandom() % 2000 + 2000}});
        auto* fadeOut = make<AlphaAddAnimator>(fb, 0.0f);
        addKeys(fadeOut, {{0, 0}, {-1, nextRandom() % 1000 + 2000}, {-1, 5000}, {0, 5001}});
        float w = nextRandom() % 1000 / 1000.0f;
        if (nextRandom() % 6 == 0) w = static_cast<float>(nextRandom() % 30);
        float q = nextRandom() % 2 == 0 ? -1.0f : 1.0f;
        auto* turn = makeRotate(fb);
        addKeys(turn, {{0, 0}, {0, 100}, {0.5f * q, 200}, {(5 + w) * q, 4000}, {0, nextRandom() % 2000 + 4000}});
        ShapeSpec hub = circleSpec(makeColorPresetA(), 45, 30 * f1);
        auto* place = make<RandomPlaceAnimator>(fb, -100, 750, -100, 600);
        auto* hubScale = make<ScaleAnimator>(fb, 0.0f);
        addKeys(hubScale, {{1, 0}, {1, 200}});
        auto* hubSwell = make<ScaleAnimator>(fb, 1.0f);
        addKeys(hubSwell, {{1, 0}, {f2, 200}});
        ShapeSpec knob = circleSpec(makeColorPresetA(), 15, 7 * f1);
        auto* knobSpread = make<OffsetScaleAnimator>(fb, 0.0f);
        addKeys(knobSpread, {{0, 0}, {1, 200}});
        auto* knobSwell = make<OffsetScaleAnimator>(fb, 1.0f);
        addKeys(knobSwell, {{1, 0}, {f2, 200}});
        ShapeSpec spoke = rectSpec(makeColorPresetA(), 0, -5, 50 * f1, 10 * f1);
        auto* spokeScale = make<ScaleAnimator>(fb, 0.0f);
        addKeys(spokeScale, {{0, 0}, {1, 200}});
        auto* spokeSpread = make<OffsetScaleAnimator>(fb, 0.0f);
        addKeys(spokeSpread, {{0, 0}, {1, 200}});
        auto* spokeSwell = make<OffsetScaleAnimator>(fb, 1.0f);
        addKeys(spokeSwell, {{1.3f, 0}, {2 + f2, nextRandom() % 1000 + 1000}});

        FigureParts& parts = fb.parts();
        AnimatorGroup* g1 = makeTwoStageGroup(parts, {hubScale, place, turn, alpha}, {hubSwell, fadeOut});
        AnimatorGroup* g2 = makeTwoStageGroup(parts, {knobSpread, turn, alpha}, {fadeOut, knobSwell});
        AnimatorGroup* g3 = makeTwoStageGroup(parts, {spokeSpread, spokeScale, turn, alpha}, {spokeSwell, fadeOut});
        return buildWheel(fb, hub, g1, knob, g2, spoke, g3);
    }
};

// Four rings of dots that shrink onto a hidden centre and spread out, some
// of them whirling.
class DotRingsGenerator : public FigureGenerator {
public:
    AnimatorGroup* build(FigureBuild& fb) override {
        auto* place = placeAnywhere(fb);
        auto* hidden = make<AlphaSetAnimator>(fb, 0.0f);
        auto* turn = makeRotate(fb);
        float sign = 1;
        if (oneIn(2)) sign = -1;
        if (oneIn(4)) {
            float m = randomRange(1, 5);
            addKeys(turn, {{0, 0}, {0.5f * m, 700}, {3 * m, 1200}, {8 * m, 3000}});
        }
        float reach = randomRange(1, 3) * sign;
        auto* alpha = make<AlphaSetAnimator>(fb, 0.0f);
        addKeys(alpha, {{0.8f, 0}, {0.8f, 1000}, {0, 1800}});
        auto* shrink = make<ScaleAnimator>(fb, 0.0f);
        addKeys(shrink, {{3, 0}, {1, 2000}});
        Animator* spreads[4];
        const float kReaches[4] = {40, 35, 30, 25};
        for (int i = 0; i < 4; ++i) {
            spreads[i] = make<OffsetScaleAnimator>(fb, 0.0f);
            addKeys(spreads[i], {{0, 0}, {kReaches[i] * reach, 4000}});
        }
        ShapeSpec centre = circleSpec(makeColorPresetA(), 1, 15);
        ShapeSpec rings[4];
        const float kOffsets[4] = {5, 20, 35, 50};
        for (int i = 0; i < 4; ++i) {
            rings[i] = circleSpec(makeColorPresetA(), 15, 4);
            rings[i].setOffset({0, kOffsets[i]});
        }

        FigureParts& parts = fb.parts();
        AnimatorGroup* g1 = makeGroup(parts, {place, hidden});
        AnimatorGroup* ringGroups[4];
        for (int i = 0; i < 4; ++i) ringGroups[i] = makeGroup(parts, {place, alpha, spreads[i], shrink, turn});
        AnimatorGroup* outer = makeGroup(parts, {g1, ringGroups[0], ringGroups[1], ringGroups[2], ringGroups[3]});

        fb.finishFigure(centre, g1);
        fb.nextLevel(8);
        for (int i = 0; i < 4; ++i) fb.finishFigure(rings[i], ringGroups[i]);
        return outer;
    }
};

// A star of dashes that pulses out once and vanishes.
class DashStarGenerator : public FigureGenerator {
public:
    AnimatorGroup* build(FigureBuild& fb) override {
        int life = nextRandom() % 3000 + 500;
        auto* place = placeAnywhere(fb);
        auto* alpha = make<AlphaSetAnimator>(fb, 0.0f);
        addKeys(alpha, {{1, 0}, {1, life}, {0, life + 1}});
        auto* spread = make<OffsetScaleAnimator>(fb, 1.0f);
        addKeys(spread, {{1, 0}, {static_cast<float>(nextRandom() % 20), 200}, {1, 10000}});
        ShapeSpec centre = circleSpec(makeColorPresetA(), 1, 15);
        ShapeSpec dash = rectSpec(makeColorPresetA(), -8, -1, 8, 1);
        return buildStar(fb, centre, dash, [] { return nextRandom() % 14 + 5; }, {spread, place, alpha});
    }
};

// A dot that swells at once and vanishes.
class PopGenerator : public FigureGenerator {
public:
    AnimatorGroup* build(FigureBuild& fb) override {
        auto* place = placeAnywhere(fb);
        int life = nextRandom() % 4000 + 1000;
        auto* alpha = make<AlphaSetAnimator>(fb, 0.0f);
        addKeys(alpha, {{0.7f, 0}, {1, life}, {0, life + 1}});
        auto* swell = make<ScaleAnimator>(fb, 1.0f);
        addKeys(swell, {{1, 0}, {randomRange(3, 6), 100}});
        ShapeSpec dot = circleSpec(makeColorPresetA(), 45);
        dot.setSize(randomRange(1, 4));
        return buildSingle(fb, dot, {swell, place, alpha});
    }
};

// A growing circle with a slowly turning crown of small circles.
class CrownGenerator : public FigureGenerator {
public:
    AnimatorGroup* build(FigureBuild& fb) override {
        auto* place = make<RandomPlaceAnimator>(fb, 300, 600, 100, 300);
        int life = nextRandom() % 4000 + 1000;
        auto* alpha = make<AlphaSetAnimator>(fb, 0.0f);
        addKeys(alpha, {{0.7f, 0}, {1, life}, {0, life + 1}});
        auto* grow = make<ScaleAnimator>(fb, 0.0f);
        addKeys(grow, {{0.5f, 0}, {1, 500}, {static_cast<float>(nextRandom() % 4 + 1), 7000}});
        int angle = nextRandom() % 100 + 100;
        if (oneIn(2)) angle = -angle;
        auto* turn = makeRotate(fb);
        addKeys(turn, {{0, 0}, {static_cast<float>(angle), 30000}});
        FigureParts& parts = fb.parts();
        AnimatorGroup* g1 = makeGroup(parts, {grow, place, alpha});
        AnimatorGroup* g2 = makeGroup(parts, {grow, place, alpha, turn});
        float f = randomRange(0.6f, 3);
        ShapeSpec body = circleSpec(makeColorPresetA(), 45, 6 * f);
        ShapeSpec crown = circleSpec(makeColorPresetA(), 15, 1.5f * f);
        AnimatorGroup* outer = makeGroup(parts, {g1, g2});

        fb.finishFigure(body, g1);
        fb.nextLevel(6);
        fb.finishFigure(crown, g2);
        return outer;
    }
};

// A small spinning star of dashes that grows and vanishes.
class SpinStarGenerator : public FigureGenerator {
public:
    AnimatorGroup* build(FigureBuild& fb) override {
        auto* place = placeAnywhere(fb);
        auto* grow = make<ScaleAnimator>(fb, 0.5f);
        addKeys(grow, {{0.2f, 0}, {0.7f, 100}, {randomRange(1, 1.5f), 3000}});
        int life = nextRandom() % 2500 + 500;
        auto* alpha = make<AlphaSetAnimator>(fb, 0.0f);
        addKeys(alpha, {{1, 0}, {1, life - 300}, {0, life + 1}});
        float angle = 50;
        if (oneIn(2)) angle = -50;
        auto* turn = makeRotate(fb);
        addKeys(turn, {{0, 0}, {angle, 3000}});
        ShapeSpec centre = circleSpec(makeColorPresetA(), 1, 1);
        ShapeSpec dash = rectSpec(makeColorPresetA(), -8, -1, 8, 1);
        return buildStar(fb, centre, dash, [] { return nextRandom() % 5 + 4; }, {grow, turn, place, alpha});
    }
};

// A small turning ring near the left edge whose rings of circles bloom
// outward and fall back.
class BloomGenerator : public FigureGenerator {
public:
    AnimatorGroup* build(FigureBuild& fb) override {
        auto* place = make<RandomPlaceAnimator>(fb, -10, 50, -50, 300);
        auto* turn = makeRotate(fb);
        addKeys(turn, {{0, 0}, {20, 10000}});
        ShapeSpec core = circleSpec(makeColorPresetA(), 5, 10);
        auto* hidden = make<AlphaSetAnimator>(fb, 0.0f);
        // Once a choice that came out the same either way.
        oneIn(3);
        ShapeSpec inner = circleSpec(makeColorPresetA(), 15, 5);
        ShapeSpec outerRing = circleSpec(makeColorPresetA(), 15, 15);
        // Once a fourth ring that was never placed; its colour still draws.
        makeColorPresetA();
        auto* alpha = make<AlphaSetAnimator>(fb, 0.0f);
        addKeys(alpha, {{0, 0}, {0, 150}, {1, 200}, {1, 7500}, {0, 10000}});
        auto* innerScale = make<ScaleAnimator>(fb, 0.0f);
        addKeys(innerScale, {{0, 0}, {0.3f, 500}, {0.6f, 4000}, {0, 7000}});
        auto* outerScale = make<ScaleAnimator>(fb, 0.0f);
        addKeys(outerScale, {{0, 0}, {0.3f, 500}, {0.5f, 4000}, {0, 6000}});
        auto* innerSpread = make<OffsetScaleAnimator>(fb, 0.0f);
        addKeys(innerSpread, {{0, 0}, {4, 500}, {20, 3000}, {0, 10000}});
        auto* outerSpread = make<OffsetScaleAnimator>(fb, 0.0f);
        addKeys(outerSpread, {{0, 0}, {8, 500}, {30, 5000}, {0, 20000}});

        FigureParts& parts = fb.parts();
        AnimatorGroup* g1 = makeGroup(parts, {place, hidden});
        AnimatorGroup* g2 = makeGroup(parts, {innerSpread, innerScale, turn, alpha});
        AnimatorGroup* g3 = makeGroup(parts, {outerScale, outerSpread, alpha});
        AnimatorGroup* outer = makeGroup(parts, {g1, g2, g3});

        fb.finishFigure(core, g1);
        fb.nextLevel(static_cast<int>(randomRange(5, 10)));
        fb.finishFigure(inner, g2);
        fb.nextLevel(5);
        fb.finishFigure(outerRing, g3);
        return outer;
    }
};

// A faint star of thin lines that turns and grows while it fades.
class ThinStarGenerator : public FigureGenerator {
public:
    AnimatorGroup* build(FigureBuild& fb) override {
        auto* place = placeAnywhere(fb);
        int life = nextRandom() % 3000 + 500;
        auto* alpha = make<AlphaSetAnimator>(fb, 0.0f);
        addKeys(alpha, {{0.3f, 0}, {0.1f, life + 1}, {0, 2 * life}});
        auto* turn = makeRotate(fb, 1.0f);
        addKeys(turn, {{0, 0}, {10, 2 * life}});
        auto* grow = make<ScaleAnimator>(fb, 1.0f);
        addKeys(grow, {{0, 0}, {5, 2 * life}});
        ShapeSpec centre = circleSpec(makeColorPresetA(), 1, 1);
        ShapeSpec line = rectSpec(makeColorPresetA(), -14, -0.1f, 14, 0.1f);
        return buildStar(
            fb, centre, line, [] { return static_cast<int>(randomRange(10, 20)); }, {turn, grow, place, alpha});
    }
};

// A circle that grows slowly and vanishes at once.
class SwellGenerator : public FigureGenerator {
public:
    AnimatorGroup* build(FigureBuild& fb) override {
        auto* place = placeAnywhere(fb);
        int life = static_cast<int>(randomRange(4000, 7000));
        auto* alpha = make<AlphaSetAnimator>(fb, 0.0f);
        addKeys(alpha, {{0.5f, 0}, {1, life}, {0, life + 1}});
        auto* grow = make<ScaleAnimator>(fb, 0.5f);
        addKeys(grow, {{0.5f, 0}, {randomRange(5, 10), life}});
        ShapeSpec circle = circleSpec(makeColorPresetA(), 45);
        circle.setSize(randomRange(3, 8) + 3);
        return buildSingle(fb, circle, {grow, place, alpha});
    }
};

// A faint circle at the left that grows to cover the screen.
class HaloGenerator : public FigureGenerator {
public:
    AnimatorGroup* build(FigureBuild& fb) override {
        int life = static_cast<int>(randomRange(15000, 30000));
        auto* place = make<RandomPlaceAnimator>(fb, 50, 60, 200, 210);
        auto* alpha = make<AlphaSetAnimator>(fb, 0.0f);
        addKeys(alpha, {{0, 0}, {0, 1000}, {0.3f, 2000}, {0.15f, life / 2}, {0, life}});
        auto* grow = make<ScaleAnimator>(fb, 0.5f);
        addKeys(grow, {{0, 0}, {randomRange(50, 100), life}});
        ShapeSpec circle = circleSpec(makeColorPresetA(), 65);
        circle.setSize(randomRange(5, 10));
        return buildSingle(fb, circle, {grow, place, alpha});
    }
};

// Twin circles that grow where the previous one of their kind left the
// walker, so that successive ones wander over the screen.
class WanderGenerator : public FigureGenerator {
public:
    AnimatorGroup* build(FigureBuild& fb) override {
        GridWalker::Cell cell = walker_.position();
        int life = static_cast<int>(randomRange(5000, 7000));
        auto* at = make<SetOffsetAnimator>(fb, static_cast<float>(cell.x), static_cast<float>(cell.y));
        auto* alpha = make<AlphaSetAnimator>(fb, 0.0f);
        addKeys(alpha, {{0, 0}, {0, static_cast<int>(life / 2.5)}, {0.6f, static_cast<int>(life / 1.5)}, {0, life}});
        auto* hidden = make<AlphaSetAnimator>(fb, 0.0f);
        auto* grow = make<ScaleAnimator>(fb, 1.0f);
        addKeys(grow, {{1, 0}, {1, static_cast<int>(life / 2.5)}, {10, life}});
        ShapeSpec centre = circleSpec(makeColorPresetA(), 65, 2);
        walker_.walk();
        ShapeSpec first = circleSpec(makeColorPresetA(), 65, 2);
        ShapeSpec second = circleSpec(makeColorPresetA(), 65, static_cast<float>(2 / 1.2));

        FigureParts& parts = fb.parts();
        AnimatorGroup* g1 = makeGroup(parts, {hidden, at});
        AnimatorGroup* g2 = makeGroup(parts, {grow, alpha});
        AnimatorGroup* g3 = makeGroup(parts, {grow, alpha});
        AnimatorGroup* outer = makeGroup(parts, {g1, g2, g3});

        fb.finishFigure(centre, g1);
        fb.nextLevel(1);
        fb.finishFigure(first, g2);
        fb.finishFigure(second, g3);
        return outer;
    }

private:
    GridWalker walker_;
};

// A faint grey cluster of rings in rings that slowly spreads and turns,
// kept off the screen areas of the other layers late in the show.
class GreyClusterGenerator : public FigureGenerator {
public:
    AnimatorGroup* build(FigureBuild& fb) override {
        int life = static_cast<int>(randomRange(15000, 60000));
        auto* place = make<RandomPlaceAnimator>(fb, 50, 690, 50, 530);
        // Two screen areas with a 40 margin on every side.
        place->addExclusion({440, -16}, {680, 301});
        place->addExclusion({-40, 350}, {480, 520});
        auto* alpha = make<AlphaSetAnimator>(fb, 0.0f);
        addKeys(alpha, {{0, 0},
                        {randomRange(0.01f, 0.1f), life / 6},
                        {randomRange(0.01f, 0.1f), life / 4},
                        {0.01f, life / 2},
                        {0, life}});
        auto* spread = make<OffsetScaleAnimator>(fb, 1.0f);
        addKeys(spread, {{1, 0}, {randomRange(5, 10), life}});
        auto* farSpread = make<OffsetScaleAnimator>(fb, 1.0f);
        addKeys(farSpread, {{1, 0}, {randomRange(30, 50), life}});
        auto* turn = makeRotate(fb);
        addKeys(turn, {{0, 0}, {randomRange(-30, 30), life}});
        ShapeSpec core = circleSpec(makeColorPresetB(), 1);
        core.setSize(randomRange(5, 10));
        ShapeSpec middle = circleSpec(makeColorPresetB(), 1);
        middle.setSize(randomRange(3, 5));
        ShapeSpec fine = circleSpec(makeColorPresetB(), 5);
        fine.setSize(randomRange(0.5f, 1));

        FigureParts& parts = fb.parts();
        AnimatorGroup* g1 = makeGroup(parts, {place, alpha});
        AnimatorGroup* g2 = makeGroup(parts, {spread, alpha});
        AnimatorGroup* g3 = makeGroup(parts, {spread, alpha, farSpread, turn});
        AnimatorGroup* outer = makeGroup(parts, {g1, g2, g3});

        fb.finishFigure(core, g1);
        fb.nextLevel(static_cast<int>(randomRange(2, 5)));
        fb.finishFigure(middle, g2);
        fb.nextLevel(static_cast<int>(randomRange(3, 5)));
        fb.finishFigure(fine, g3);
        fb.nextLevel(static_cast<int>(randomRange(4, 8)));
        fb.finishFigure(fine, g3);
        return outer;
    }
};

}  // namespace

std::unique_ptr<FigureGenerator> makeFigureGenerator(int id) {
    switch (id) {
        case 100: return std::make_unique<RingBurstGenerator>();
        case 200: return std::make_unique<WheelGenerator>();
        case 300: return std::make_unique<JumpGenerator>();
        case 400: return std::make_unique<SwellWheelGenerator>();
        case 500: return std::make_unique<DotRingsGenerator>();
        case 600: return std::make_unique<DashStarGenerator>();
        case 700: return std::make_unique<PopGenerator>();
        case 800: return std::make_unique<CrownGenerator>();
        case 900: return std::make_unique<SpinStarGenerator>();
        case 1000: return std::make_unique<BloomGenerator>();
        case 1100: return std::make_unique<ThinStarGenerator>();
        case 1200: return std::make_unique<SwellGenerator>();
        case 1300: return std::make_unique<HaloGenerator>();
        case 1400: return std::make_unique<WanderGenerator>();
        case 10000: return std::make_unique<GreyClusterGenerator>();
        default: return nullptr;
    }
}

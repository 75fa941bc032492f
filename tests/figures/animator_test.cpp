#include "figures/animator_group.h"
#include "figures/color_animators.h"
#include "figures/placement_animators.h"
#include "figures/random.h"
#include "figures/shape_animators.h"
#include "tests/figures/scene_clock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

class AnimatorTest : public SceneClockTest {
protected:
    // Element with a fill alpha that shows the value of an alpha-set track.
    float alphaOf(Animator& animator) { return animator.apply(&element)->color().a; }

    Element element;
};

// Logs its applies and counts its triggers.
class Probe : public Animator {
public:
    Probe(std::string name, std::vector<std::string>& log) : Animator(0.0f), name_(std::move(name)), log_(log) {}

    using Animator::trigger;
    void trigger(int value) override {
        ++triggers;
        Animator::trigger(value);
    }
    Element* apply(Element* e) override {
        log_.push_back(name_);
        return e;
    }

    int triggers = 0;

private:
    std::string name_;
    std::vector<std::string>& log_;
};

void expectPoint(Vec2 p, float x, float y) {
    EXPECT_NEAR(p.x, x, 1e-4f);
    EXPECT_NEAR(p.y, y, 1e-4f);
}

}  // namespace

TEST_F(AnimatorTest, TracksRunOnTheFigureTimeScale) {
    AlphaSetAnimator animator(0.7f);
    animator.addKey(0.0f, 0);
    animator.addKey(2.0f, 2000);
    // The time scale is 2 at 120000 ms of its table and 0.25 from 185000 on.
    MainEnvelopes::instance().timeScaleEnvelope()->start(0);
    setSceneTime(1000);
    EXPECT_FLOAT_EQ(alphaOf(animator), 0.7f) << "never triggered: the initial value";
    setSceneTime(119500);
    animator.trigger();
    EXPECT_TRUE(animator.takeChanged());
    EXPECT_FALSE(animator.takeChanged());
    setSceneTime(120000);
    EXPECT_NEAR(alphaOf(animator), 1.0f, 1e-5f);
    setSceneTime(190000);
    animator.trigger();
    setSceneTime(191000);
    EXPECT_NEAR(alphaOf(animator), 0.25f, 1e-5f);
}

TEST_F(AnimatorTest, GroupsFireStagesInTurnAndApplyThemAll) {
    std::vector<std::string> log;
    Probe a("A", log);
    Probe b("B", log);
    AnimatorGroup group;
    group.add(&a);
    group.newStage();
    group.add(&b);
    group.rewind();
    group.trigger();
    EXPECT_EQ(a.triggers, 1);
    EXPECT_EQ(b.triggers, 0);
    group.trigger();
    group.trigger();
    EXPECT_EQ(a.triggers, 2);
    EXPECT_EQ(b.triggers, 1);
    Element e;
    EXPECT_EQ(group.apply(&e), &e);
    EXPECT_EQ(log, (std::vector<std::string>{"A", "B"}));
    EXPECT_TRUE(group.takeChanged());

    Probe c("C", log);
    AnimatorGroup halfEmpty;
    halfEmpty.add(&c);
    halfEmpty.newStage();
    halfEmpty.rewind();
    halfEmpty.trigger();
    EXPECT_TRUE(halfEmpty.takeChanged());
    halfEmpty.trigger();
    EXPECT_TRUE(halfEmpty.takeChanged()) << "the empty stage still restarts the group's own track";
    EXPECT_EQ(c.triggers, 1);

    AnimatorGroup empty;
    EXPECT_TRUE(empty.isActive());
    AlphaSetAnimator off(0.0f);
    IdleAnimator idle;
    EXPECT_FALSE(off.isActive());
    EXPECT_FALSE(idle.isActive());
    EXPECT_EQ(idle.apply(&e), &e);
    halfEmpty.add(&off);
    EXPECT_FALSE(halfEmpty.isActive());
}

TEST_F(AnimatorTest, RotationWrapsTheAngleAndTurnsAboutTwoCentres) {
    auto rotated = [](float centreX, float angle, Vec2 point, Vec2 position) {
        RotateAnimator rotate(centreX, 0.0f, angle);
        Element e;
        e.setPoints({point});
        e.setPos(position);
        e.setPivot(position);
        rotate.apply(&e);
        return e;
    };
    Element quarter = rotated(10.0f, static_cast<float>(M_PI / 2), {20, 0}, {5, 0});
    expectPoint(quarter.pointAt(0), 10.0f, 10.0f);
    expectPoint(quarter.pos(), 0.0f, 5.0f);
    expectPoint(quarter.pivot(), 0.0f, 5.0f);

    Element full = rotated(0.0f, 6.283184f, {1, 0}, {1, 0});
    EXPECT_EQ(full.pointAt(0).x, 1.0f) << "a full turn is no turn, exactly";
    EXPECT_EQ(full.pointAt(0).y, 0.0f);
    Element back = rotated(0.0f, -1.0f, {1, 0}, {0, 0});
    expectPoint(back.pointAt(0), std::cos(-1.0f), std::sin(-1.0f));
    Element wrapped = rotated(0.0f, 7.0f, {1, 0}, {0, 0});
    EXPECT_NEAR(std::atan2(wrapped.pointAt(0).y, wrapped.pointAt(0).x), 0.716815f, 1e-5f);
}

TEST_F(AnimatorTest, PlacementShiftsEarlyAndAvoidsBoxesLate) {
    RandomPlaceAnimator place(0, 100, 0, 100);
    Element e;
    e.setOffset({9, 9});
    expectPoint(place.apply(&e)->offset(), 0.0f, 0.0f);

    seedRandom(666);
    float x = randomRange(0, 100);
    float y = randomRange(0, 100);
    setSceneTime(13999);
    seedRandom(666);
    place.trigger();
    expectPoint(place.apply(&e)->offset(), x + 200.0f, y);
    EXPECT_FALSE(place.takeChanged());
    setSceneTime(14000);
    seedRandom(666);
    place.trigger();
    expectPoint(place.apply(&e)->offset(), x, y);

    place.addExclusion({0, 0}, {50, 100});
    auto landsInBox = [&] {
        place.trigger();
        return place.apply(&e)->offset().x <= 50.0f;
    };
    setSceneTime(179999);
    int inside = 0;
    for (int i = 0; i < 200; ++i) inside += landsInBox();
    EXPECT_GT(inside, 0) << "boxes are ignored before 180000 ms";
    setSceneTime(180000);
    for (int i = 0; i < 200; ++i) ASSERT_FALSE(landsInBox());

    place.addExclusion({50, 0}, {100, 100});
    place.trigger();
    Vec2 last = place.apply(&e)->offset();
    EXPECT_TRUE(last.x >= 0.0f && last.x < 100.0f) << "a fully covered range still ends in a point";
}

TEST_F(AnimatorTest, SpreadKeysDrawPerKeyAndAlphaIsNeverClamped) {
    seedRandom(666);
    SpreadOffsetScaleAnimator spread(0.0f, 0.0f);
    spread.addKey(3.0f, 0);
    spread.addKey(5.0f, 100);
    EXPECT_EQ(nextRandom(), 23992) << "one draw per key";
    spread.trigger();
    Element e;
    e.setPos({1, 0});
    e.setChildOffset({0, 2});
    setSceneTime(50);
    spread.apply(&e);
    expectPoint(e.pos(), 4.0f, 0.0f);
    expectPoint(e.childOffset(), 0.0f, 8.0f);

    e.setColor({0.2f, 0.4f, 0.6f, 0.9f});
    AlphaAddAnimator add(0.5f);
    add.apply(&e);
    EXPECT_FLOAT_EQ(e.color().a, 1.4f);
    EXPECT_FLOAT_EQ(e.color2().a, 1.5f);
}

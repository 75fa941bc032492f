#include "figures/animator_group.h"
#include "figures/color_animators.h"
#include "figures/figure_build.h"
#include "figures/figure_drawing.h"
#include "figures/figure_parts.h"
#include "figures/random.h"
#include "tests/figures/draw_count.h"
#include "tests/figures/recording_renderer.h"
#include "tests/figures/scene_clock.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Call = RecordingRenderer::Call;

class FigureDrawingTest : public SceneClockTest {
protected:
    // All figure envelopes at their keys' values for this scene time.
    void envelopesAt(int ms) {
        MainEnvelopes::instance().restartAll();
        setSceneTime(ms);
    }

    static Element square() {
        Element e;
        e.setPoints({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
        e.setColor({0.2f, 0.4f, 0.6f, 0.5f});
        e.setColor2({0.55f, 0.55f, 0.55f, 0.1f});
        return e;
    }

    static void expectVertex(const Call& call, float x, float y, float zoom) {
        ASSERT_EQ(call.kind, RecordingRenderer::Vertex);
        EXPECT_FLOAT_EQ(call.a, (x - 320.0f) / zoom + 320.0f);
        EXPECT_FLOAT_EQ(call.b, (y - 240.0f) / zoom + 240.0f);
        EXPECT_FLOAT_EQ(call.c, 1.0f);
    }

    RecordingRenderer renderer;
};

TEST_F(FigureDrawingTest, JitteredOutlineChainsItsSegments) {
    // At 245000 ms: jitter 3, pulse and flicker 0, zoom 1.2.
    envelopesAt(245000);
    const float zoom = 1.2f;
    Element e = square();
    seedRandom(4);
    drawFigureFill(renderer, e, 0, 0);
    EXPECT_EQ(drawsSince(4), 0) << "no flicker, no draw";

    renderer.calls.clear();
    seedRandom(4);
    drawFigureOutline(renderer, e, 0, 0);
    EXPECT_EQ(drawsSince(4), 8) << "two draws per segment";
    std::vector<Call> v = renderer.only(RecordingRenderer::Vertex);
    ASSERT_EQ(v.size(), 8u);
    expectVertex(v[0], 0, 0, zoom);
    for (int i = 1; i < 7; i += 2) {
        EXPECT_FLOAT_EQ(v[i].a, v[i + 1].a) << "segment " << i / 2 + 1 << " starts where the last ended";
        EXPECT_FLOAT_EQ(v[i].b, v[i + 1].b);
    }
    EXPECT_NE(v[7].a * 1000 + v[7].b, v[0].a * 1000 + v[0].b) << "the last ends at a displaced first point";
    EXPECT_NEAR(v[7].a, v[0].a, 3.0f / zoom);
    EXPECT_NEAR(v[7].b, v[0].b, 3.0f / zoom);
}

class FigureTreeTest : public FigureDrawingTest {
protected:
    // A root with one ring level of circles hung on its one anchor, and a
    // level of n circles on each of them.
    FigureGroup& twoLevels(AnimatorGroup* first, AnimatorGroup* second, int n) {
        ShapeSpec ring;
        ring.setKind(ShapeSpec::Circle);
        ring.setCount(6);
        ring.setSize(10);
        ring.setColor(std::make_unique<FixedColor>(RGB{0.1f, 0.2f, 0.3f}, RGB{0.4f, 0.5f, 0.6f}));
        build.finishFigure(ring, first);
        build.nextLevel(n);
        build.finishFigure(ring, second);
        return build.root();
    }
    AnimatorGroup* groupOf(float alpha) {
        auto* group = parts.makeAnimator<AnimatorGroup>();
        group->add(parts.makeAnimator<AlphaSetAnimator>(alpha));
        return group;
    }

    FigureParts parts;
    FigureBuild build{parts};
};

TEST_F(FigureTreeTest, DrawsOnlyActiveBranchesAndVisibleNodes) {
    // A hidden parent (alpha 0) with visible children: only the children
    // draw, one fill and one outline each, relative to the parent.
    FigureGroup& hiddenParent = twoLevels(groupOf(0.0f), groupOf(0.5f), 3);
    hiddenParent.frame(renderer);
    EXPECT_EQ(renderer.only(RecordingRenderer::Begin).size(), 3u * 2);
    std::vector<Call> colors = renderer.only(RecordingRenderer::Color);
    ASSERT_EQ(colors.size(), 6u);
    EXPECT_FLOAT_EQ(colors[0].a, 0.4f) << "the fill is the fixed source's second colour";
    EXPECT_FLOAT_EQ(colors[0].d, 0.5f);
    EXPECT_NEAR(colors[1].a, 0.1f / 1.1f, 1e-6f) << "the outline its first";
}

TEST_F(FigureTreeTest, InactiveFirstLevelSkipsItsChildren) {
    FigureGroup& root = twoLevels(groupOf(0.0f), groupOf(0.0f), 3);
    root.frame(renderer);
    EXPECT_TRUE(renderer.calls.empty());
}

TEST_F(FigureTreeTest, ChildrenHangOnTheParentsTurnedShapeCentre) {
    // One circle of radius 10 with children on its 4 anchor points; each
    // child is drawn at the parent's position plus the parent's child
    // offset plus its own anchor.
    FigureGroup& root = twoLevels(groupOf(1.0f), groupOf(1.0f), 4);
    const Shape& parent = static_cast<const Shape&>(*root.children()[0]);
    ASSERT_EQ(parent.children().size(), 4u);
    const Shape& child = static_cast<const Shape&>(*parent.children()[1]);
    EXPECT_NEAR(child.position().x, 0.0f, 1e-5f);
    EXPECT_NEAR(child.position().y, 10.0f, 1e-5f);

    envelopesAt(200000);  // zoom 1.2, no jitter
    root.frame(renderer);
    std::vector<Call> v = renderer.only(RecordingRenderer::Vertex);
    // Parent: 6 fill + 12 outline vertices; then the first child.
    ASSERT_GT(v.size(), 18u + 18u + 1u);
    const Call& secondChildFirst = v[18 + 18];
    Vec2 at = parent.childOffset() + child.position() + child.points()[0];
    expectVertex(secondChildFirst, at.x, at.y, 1.2f);
}

TEST_F(FigureTreeTest, ARestartRefreshesTheColoursOnce) {
    // Two nodes share the level's group and its colour source: the first
    // node to update after a trigger regenerates the source, once.
    auto* level = parts.makeAnimator<AnimatorGroup>();
    level->add(parts.makeAnimator<AlphaSetAnimator>(1.0f));
    ShapeSpec ring;
    ring.setKind(ShapeSpec::Circle);
    ring.setCount(3);
    ring.setSize(5);
    ring.setColor(makeColorPresetA());
    build.finishFigure(ring, groupOf(1.0f));
    build.nextLevel(2);
    build.finishFigure(ring, level);

    build.root().frame(renderer);
    level->trigger();
    seedRandom(11);
    build.root().frame(renderer);
    EXPECT_EQ(drawsSince(11), 3);
    seedRandom(11);
    build.root().frame(renderer);
    EXPECT_EQ(drawsSince(11), 0);
}

}  // namespace

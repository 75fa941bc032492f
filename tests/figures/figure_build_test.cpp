#include "figures/animator_group.h"
#include "figures/figure_build.h"
#include "figures/figure_parts.h"
#include "figures/random.h"
#include "tests/figures/draw_count.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace {

constexpr float kTwoPi = 6.283184f;

ShapeSpec circleSpec(int count, float size, std::unique_ptr<ColorSource> color) {
    ShapeSpec spec;
    spec.setKind(ShapeSpec::Circle);
    spec.setCount(count);
    spec.setSize(size);
    spec.setColor(std::move(color));
    return spec;
}

std::unique_ptr<ColorSource> black() { return std::make_unique<FixedColor>(RGB{}, RGB{}); }

const Shape& shapeAt(const FigureBase& node, int i) { return static_cast<const Shape&>(*node.children().at(i)); }

void expectNear(Vec2 p, float x, float y) {
    EXPECT_NEAR(p.x, x, 1e-4f);
    EXPECT_NEAR(p.y, y, 1e-4f);
}

class FigureBuildTest : public ::testing::Test {
protected:
    FigureParts parts;
    AnimatorGroup group;
};

TEST_F(FigureBuildTest, LevelsHangTurnedShapesOnTheAnchorsOfTheLastCall) {
    FigureBuild build(parts);
    build.finishFigure(circleSpec(4, 10, black()), &group);
    ASSERT_EQ(build.root().children().size(), 1u) << "the root offers one anchor";
    const Shape& hub = shapeAt(build.root(), 0);
    expectNear(hub.position(), 0, 0);
    ASSERT_EQ(hub.points().size(), 4u);
    expectNear(hub.points()[0], 10, 0);
    expectNear(hub.points()[1], 0, 10);
    expectNear(hub.points()[2], -10, 0);
    expectNear(hub.points()[3], 0, -10);

    // Two calls on one level: both hang on the hub, only the second's
    // shapes carry the level below.
    build.nextLevel(20);
    build.finishFigure(circleSpec(3, 1, black()), &group);
    ShapeSpec rect;
    rect.setKind(ShapeSpec::Rect);
    rect.setRect(0, -1, 4, 2);
    rect.setOffset({1, 0});
    rect.setColor(black());
    build.finishFigure(rect, &group);
    ASSERT_EQ(hub.children().size(), 40u);
    const Shape& dot = shapeAt(hub, 5);
    float angle = 5.0f / 20.0f * kTwoPi;
    expectNear(dot.position(), 10 * std::cos(angle), 10 * std::sin(angle));
    expectNear(dot.points()[0], std::cos(angle), std::sin(angle));
    const Shape& bar = shapeAt(hub, 25);
    // The rectangle turned about its pivot (1, 0), by its ring angle.
    expectNear(bar.points()[0], -std::cos(angle) + std::sin(angle), -std::sin(angle) - std::cos(angle));
    expectNear(bar.childOffset(), std::cos(angle), std::sin(angle));

    // A rectangle offers its four turned corners, whatever n is asked.
    build.nextLevel(7);
    build.finishFigure(circleSpec(3, 1, black()), &group);
    EXPECT_EQ(shapeAt(hub, 0).children().size(), 0u);
    EXPECT_EQ(bar.children().size(), 4u);
    expectNear(shapeAt(bar, 2).position(), bar.points()[2].x, bar.points()[2].y);

    // A spec of no known kind makes nothing, and nothing hangs below it.
    ShapeSpec none;
    none.setColor(black());
    build.nextLevel(3);
    build.finishFigure(none, &group);
    build.nextLevel(3);
    build.finishFigure(circleSpec(3, 1, black()), &group);
    EXPECT_EQ(shapeAt(bar, 2).children().size(), 0u);
}

TEST_F(FigureBuildTest, FiltersDropShapesAfterTheirDraws) {
    for (auto [period, invert, kept] : {std::tuple{3, false, 4}, {3, true, 6}, {0, false, 10}, {1, true, 0}}) {
        seedRandom(3);
        FigureBuild build(parts);
        build.finishFigure(circleSpec(5, 5, black()), &group);
        build.nextLevel(10);
        EveryNth filter(period, invert);
        build.finishFigure(circleSpec(2, 1, makeColorPresetA()), &group, &filter);
        const FigureBase& hub = *build.root().children()[0];
        ASSERT_EQ(static_cast<int>(hub.children().size()), kept) << period << " " << invert;
        // Root and hub 2 each; the spec's source and the shared clone 3
        // each; every shape made, kept or not, 3 for its throwaway clone and
        // 2 of its own.
        EXPECT_EQ(drawsSince(3), 2 + 2 + 3 + 3 + 10 * 5);
    }
    EveryNth thirds(3, false);
    EXPECT_TRUE(thirds.matches(0, 9));
    EXPECT_TRUE(thirds.matches(6, 9));
    EXPECT_FALSE(thirds.matches(4, 9));
}

TEST_F(FigureBuildTest, ShapesWithoutPointsHaveNoOffset) {
    FigureBuild build(parts);
    build.finishFigure(circleSpec(0, 5, black()), &group);
    const Shape& empty = shapeAt(build.root(), 0);
    EXPECT_TRUE(empty.points().empty());
    expectNear(empty.childOffset(), 0, 0);
    build.nextLevel(0);
    build.finishFigure(circleSpec(3, 5, black()), &group);
    EXPECT_TRUE(empty.children().empty());
}

}  // namespace

#include "demo/pencil/pencil_envelopes.h"
#include "demo/pencil/pencil_overlay.h"
#include "figures/random.h"
#include "tests/fake_clock.h"
#include "tests/figures/recording_renderer.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using WandererTest = FakeClockTest;

}  // namespace

TEST(RandOffset, SmallAndNegativeRangesGiveZeroWithoutADraw) {
    seedRandom(4);
    EXPECT_EQ(randOffset(1.0f), 0);
    EXPECT_EQ(randOffset(0.5f), 0);
    EXPECT_EQ(randOffset(-30.0f), 0);
    const int next = nextRandom();
    seedRandom(4);
    EXPECT_EQ(nextRandom(), next) << "nothing was drawn";
    for (int i = 0; i < 200; ++i) {
        const int offset = randOffset(10.0f);
        EXPECT_GE(offset, -5);
        EXPECT_LE(offset, 5);
    }
}

TEST_F(WandererTest, ArrivesAtItsTargetAndStandsStillWithoutOne) {
    setSceneTime(1000);
    Wanderer standing;
    standing.setPosition({50, 60});
    standing.setTarget({50, 60});
    for (int t = 1100; t <= 2000; t += 100) {
        setSceneTime(t);
        standing.update();
    }
    // Its leg never runs; only the wobble of the leg's start shakes it.
    EXPECT_FALSE(standing.legDone());
    EXPECT_LE(std::abs(standing.getPosition().x - 50.0f), 50.0f);
    EXPECT_LE(std::abs(standing.getPosition().y - 60.0f), 50.0f);
    EXPECT_TRUE(std::isfinite(standing.heading()));

    Wanderer walker;
    walker.setSpeed(8.0f);
    walker.setTarget({300, 0});
    // 0.03 * 8 / 300 of the leg per ms: there after 1250 ms.
    setSceneTime(2600);
    walker.update();
    EXPECT_FALSE(walker.legDone());
    EXPECT_GT(walker.getPosition().x, 0.0f);
    setSceneTime(3300);
    walker.update();
    EXPECT_TRUE(walker.legDone());
    EXPECT_EQ(walker.getPosition().x, 300.0f);
    EXPECT_EQ(walker.getPosition().y, 0.0f);
}

TEST_F(WandererTest, OverlayWaitsForItsPatternThenRevealsATickPerInterval) {
    PencilOverlay overlay(70, 700);
    overlay.setPattern(74);
    RecordingRenderer renderer;
    setSceneTime(10000);
    overlay.draw(renderer);
    EXPECT_TRUE(renderer.calls.empty());
    overlay.onPattern(73);
    EXPECT_FALSE(overlay.isActive());

    overlay.onPattern(74);
    setSceneTime(10010);
    overlay.draw(renderer);
    EXPECT_EQ(overlay.visibleCount(), 1) << "the first tick shows at once";
    EXPECT_EQ(renderer.only(RecordingRenderer::Vertex).size(), 2u) << "one tick, one line";
    EXPECT_EQ(renderer.only(RecordingRenderer::LineWidth)[0].a, 2.0f) << "heavier while on its way";

    setSceneTime(10710);
    overlay.draw(renderer);
    EXPECT_EQ(overlay.visibleCount(), 1);
    setSceneTime(10711);
    overlay.draw(renderer);
    EXPECT_EQ(overlay.visibleCount(), 2);

    for (int i = 0; i < 80; ++i) {
        setSceneTime(11402 + 701 * i);
        renderer.calls.clear();
        overlay.draw(renderer);
    }
    EXPECT_EQ(overlay.visibleCount(), 70);
    EXPECT_EQ(renderer.only(RecordingRenderer::Vertex).size(), 140u);
}

// The envelopes' keys are pinned with the whole show; what the show never
// reaches is a read before the first start, or a second start.
TEST_F(FakeClockTest, PencilEnvelopesReadNothingBeforeTheirStartAndRestartFromZero) {
    PencilEnvelopes& envelopes = PencilEnvelopes::instance();
    setSceneTime(300000);
    EXPECT_EQ(envelopes.paperAlpha(), 0.0f) << "nothing before the first start";
    EXPECT_EQ(envelopes.flyInCountMax(), 0.0f);
    EXPECT_EQ(envelopes.pieceFactor(), 1.0f);

    setSceneTime(10000);
    envelopes.restartAll();
    setSceneTime(500000);
    EXPECT_NEAR(envelopes.paperAlpha(), 0.9f, 1e-6f);
    envelopes.restartAll();
    EXPECT_EQ(envelopes.paperAlpha(), 0.0f) << "a second start begins again from 0";
}

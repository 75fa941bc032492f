#include "figures/main_envelopes.h"
#include "figures/random.h"
#include "tests/figures/scene_clock.h"

#include <gtest/gtest.h>

namespace {

class MainEnvelopesTest : public SceneClockTest {};

}  // namespace

// The key tables themselves are pinned by the show replay; here, what holds
// for any table: a restart runs them from its own time.
TEST_F(MainEnvelopesTest, RestartAllRunsTheTablesFromTheRestart) {
    MainEnvelopes& set = MainEnvelopes::instance();
    set.restartAll();
    setSceneTime(205000);
    EXPECT_FALSE(set.stageReached());
    setSceneTime(205001);
    EXPECT_TRUE(set.stageReached());

    setSceneTime(300000);
    set.restartAll();
    setSceneTime(300000 + 136000);
    EXPECT_NEAR(set.timeScale(), 4.5f, 1e-4f) << "the tables run from the restart";
    setSceneTime(300000 + 205000);
    EXPECT_FALSE(set.stageReached());
}

TEST_F(MainEnvelopesTest, ColoursPulseAndIntro) {
    MainEnvelopes& set = MainEnvelopes::instance();
    RGBA outline = set.outlineColor({0.55f, 0.55f, 0.55f, 0.1f});
    EXPECT_FLOAT_EQ(outline.r, 0.5f);
    EXPECT_FLOAT_EQ(outline.b, 0.5f);
    EXPECT_FLOAT_EQ(outline.a, 0.5f);

    seedRandom(666);
    RGBA fill = set.flickerColor({0.2f, 0.3f, 0.4f, 0.8f});
    EXPECT_FLOAT_EQ(fill.a, 0.8f);
    EXPECT_EQ(nextRandom(), 2213) << "no flicker, no draw";
    EXPECT_FLOAT_EQ(set.pulseDivisor(), 1.0f);

    // Scene time 190000 (flicker and pulse full on) falls on tick 0.
    restartSceneAt(0u - 190000u);
    set.restartAll();
    setSceneTime(190000);
    seedRandom(666);
    fill = set.flickerColor({0.2f, 0.3f, 0.4f, 0.8f});
    EXPECT_FLOAT_EQ(fill.a, 0.8f * 0.2213f);
    EXPECT_FLOAT_EQ(fill.g, 0.3f);
    EXPECT_NEAR(set.pulseDivisor(), 6.0f, 1e-5f);
    fakeTicks = 1571;  // about 500 pi: the swing's low point
    EXPECT_NEAR(set.pulseDivisor(), 1.0f, 1e-5f);

    restartSceneAt(5000);
    setSceneTime(1515);
    EXPECT_FALSE(set.isPastIntro());
    setSceneTime(1516);
    EXPECT_TRUE(set.isPastIntro());
}

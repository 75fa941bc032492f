#include "figures/main_envelopes.h"
#include "figures/random.h"
#include "tests/figures/scene_clock.h"

#include <gtest/gtest.h>

namespace {

class MainEnvelopesTest : public SceneClockTest {};

struct Reading {
    Envelope* envelope;
    int time;
    float expected;
};

}  // namespace

// Runs before anything in this program restarts the whole set.
TEST_F(MainEnvelopesTest, InitialValuesBeforeTheFirstRestart) {
    MainEnvelopes& set = MainEnvelopes::instance();
    setSceneTime(300000);
    EXPECT_FLOAT_EQ(set.timeScale(), 1.0f);
    EXPECT_FLOAT_EQ(set.zoom(), 4.5f);
    EXPECT_FLOAT_EQ(set.lineWidth(), 1.0f);
    EXPECT_FLOAT_EQ(set.flicker(), 0.0f);
    EXPECT_FLOAT_EQ(set.pulseEnvelope()->value(), 0.0f);
    EXPECT_FLOAT_EQ(set.jitter(), 0.0f);
    EXPECT_FALSE(set.stageReached());
}

TEST_F(MainEnvelopesTest, RestartAllFollowsTheSevenTables) {
    MainEnvelopes& set = MainEnvelopes::instance();
    set.restartAll();
    Envelope* timeScale = set.timeScaleEnvelope();
    Envelope* flicker = set.flickerEnvelope();
    Envelope* pulse = set.pulseEnvelope();
    Envelope* lineWidth = set.lineWidthEnvelope();
    Envelope* jitter = set.jitterEnvelope();
    Envelope* zoom = set.zoomEnvelope();
    const Reading readings[] = {
        {timeScale, 36000, 1.0f},   {timeScale, 78000, 1.5f},   {timeScale, 136000, 4.5f},
        {timeScale, 164500, 7.5f},  {timeScale, 181000, 4.125f}, {timeScale, 195000, 0.25f},
        {timeScale, 210000, 0.625f}, {timeScale, 400000, 1.0f},  {flicker, 95000, 0.0f},
        {flicker, 125000, 0.5f},    {flicker, 200000, 1.0f},    {flicker, 222000, 0.5f},
        {flicker, 300000, 0.0f},    {pulse, 167000, 0.0f},      {pulse, 176000, 0.5f},
        {pulse, 190000, 1.0f},      {pulse, 209500, 0.5f},      {pulse, 214000, 0.0f},
        {lineWidth, 130000, 1.0f},  {lineWidth, 150000, 3.0f},  {lineWidth, 180000, 2.75f},
        {lineWidth, 195000, 0.5f},  {lineWidth, 207000, 0.75f}, {lineWidth, 300000, 1.0f},
        {jitter, 205000, 0.0f},     {jitter, 225000, 1.5f},     {jitter, 300000, 3.0f},
        {zoom, 35000, 3.75f},       {zoom, 70000, 3.0f},        {zoom, 100000, 2.1f},
        {zoom, 300000, 1.2f},
    };
    for (const Reading& r : readings) {
        setSceneTime(r.time);
        EXPECT_NEAR(r.envelope->value(), r.expected, 1e-4f) << "at " << r.time << " ms";
    }
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

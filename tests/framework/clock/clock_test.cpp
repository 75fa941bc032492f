#include "framework/clock/envelope.h"
#include "framework/clock/timer.h"
#include "tests/fake_clock.h"

#include <gtest/gtest.h>

namespace {

class ClockTest : public FakeClockTest {
protected:
    void advanceTo(uint32_t ticks) {
        fakeTicks = ticks;
        Timer::instance().update();
    }
};

}  // namespace

TEST_F(ClockTest, TimerCountsFromResetAndDerivesFrames) {
    Timer& timer = Timer::instance();
    advanceTo(6000);
    EXPECT_EQ(timer.getTime(), 1000);
    EXPECT_EQ(timer.getFrame(), 71);
    advanceTo(6015);
    EXPECT_EQ(timer.getDeltaTime(), 15);
    EXPECT_EQ(timer.getDeltaFrames(), 1);
    EXPECT_EQ(timer.timeToFrame(14), 0);
    EXPECT_EQ(timer.frameToTime(1), 14);

    timer.reset();
    EXPECT_EQ(timer.getTime(), 0);
    EXPECT_EQ(timer.getFrame(), 0);
    EXPECT_EQ(timer.getDeltaTime(), 15) << "reset keeps the deltas";
}

TEST_F(ClockTest, TimerSurvivesTickWrap) {
    restartSceneAt(0xFFFFFF00u);
    advanceTo(0x00000100u);
    EXPECT_EQ(Timer::instance().getTime(), 512);
}

TEST_F(ClockTest, FixedStepIgnoresUpdateAndStepsOneFrame) {
    Timer& timer = Timer::instance();
    timer.setFixedStep(true);
    advanceTo(9000);
    EXPECT_EQ(timer.getTime(), 0);
    timer.step();
    EXPECT_EQ(timer.getFrame(), 1);
    EXPECT_EQ(timer.getTime(), 14);
    timer.step();
    EXPECT_EQ(timer.getTime(), 28);
    EXPECT_EQ(timer.getDeltaFrames(), 1);
    timer.setFixedStep(false);
}

TEST_F(ClockTest, EnvelopeInterpolatesAndExtrapolates) {
    Envelope envelope(7.0f);
    envelope.addKey(0.0f, 0);
    envelope.addKey(1.0f, 1000);
    EXPECT_FLOAT_EQ(envelope.valueAt(500), 7.0f) << "disabled gives the default";
    envelope.start(0);
    EXPECT_FLOAT_EQ(envelope.valueAt(500), 0.5f);
    EXPECT_FLOAT_EQ(envelope.valueAt(-500), -0.5f);
    EXPECT_FLOAT_EQ(envelope.valueAt(5000), 1.0f);
    EXPECT_FLOAT_EQ(envelope.valueAt(1000), 1.0f);
    envelope.stop();
    EXPECT_FLOAT_EQ(envelope.valueAt(500), 7.0f);
}

TEST_F(ClockTest, EnvelopeEdgeShapes) {
    Envelope empty(3.0f);
    empty.start(0);
    EXPECT_FLOAT_EQ(empty.valueAt(10), 3.0f);
    EXPECT_FLOAT_EQ(empty.valueAt(-1), 3.0f) << "-1 is a time like any other";

    Envelope single(0.0f);
    single.addKey(4.0f, 200);
    single.start(0);
    EXPECT_FLOAT_EQ(single.valueAt(0), 4.0f);
    EXPECT_FLOAT_EQ(single.valueAt(900), 4.0f);

    Envelope step(0.0f);
    step.addKey(1.0f, 0);
    step.addKey(2.0f, 100);
    step.addKey(5.0f, 100);
    step.addKey(6.0f, 200);
    step.start(0);
    EXPECT_FLOAT_EQ(step.valueAt(100), 5.0f) << "the later of two keys at one time";
    EXPECT_FLOAT_EQ(step.valueAt(150), 5.5f);
}

TEST_F(ClockTest, EnvelopeCacheIsClearedByNewKeysAndFollowsRestart) {
    Envelope envelope(0.0f);
    envelope.addKey(0.0f, 0);
    envelope.addKey(10.0f, 100);
    envelope.start(0);
    EXPECT_FLOAT_EQ(envelope.valueAt(50), 5.0f);
    envelope.addKey(10.0f, 200);
    EXPECT_FLOAT_EQ(envelope.valueAt(150), 10.0f);
    envelope.addKey(0.0f, 300);
    EXPECT_FLOAT_EQ(envelope.valueAt(150), 10.0f);
    EXPECT_FLOAT_EQ(envelope.valueAt(250), 5.0f);

    advanceTo(5100);
    EXPECT_FLOAT_EQ(envelope.value(), 10.0f) << "started at 0 ms, now 100 ms";
    envelope.trigger();
    EXPECT_EQ(envelope.startTime(), 100);
    EXPECT_FLOAT_EQ(envelope.value(), 0.0f);
}

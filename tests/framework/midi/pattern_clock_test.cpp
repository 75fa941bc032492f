#include "framework/midi/pattern_clock.h"

#include <gtest/gtest.h>

#include "engine/core/exception.h"
#include "tests/framework/midi/midi_test_listener.h"

namespace {

class PatternClockTest : public ::testing::Test {
protected:
    void ticks(int count) {
        for (int i = 0; i < count; ++i) clock.tick();
    }
    void select(int bank, int program) {
        clock.bankSelect(bank);
        clock.programChange(program);
    }

    std::vector<std::string> log;
    LoggingListener handler{"H", log};
    PatternClock clock;
};

}  // namespace

TEST_F(PatternClockTest, TicksMakeStepsThatWrapWithThePattern) {
    EXPECT_EQ(clock.step(), -1);
    ticks(5);
    EXPECT_EQ(clock.step(), -1) << "ticks while stopped count nothing";

    clock.start();  // pattern 0: 8 steps a quarter, 64 steps
    EXPECT_EQ(clock.step(), -1);
    ticks(1);
    EXPECT_EQ(clock.step(), 0) << "the first tick after a start steps at once";
    ticks(2);
    EXPECT_EQ(clock.step(), 0);
    ticks(1);
    EXPECT_EQ(clock.step(), 1) << "3 ticks a step";
    ticks(62 * 3);
    EXPECT_EQ(clock.step(), 63);
    ticks(3);
    EXPECT_EQ(clock.step(), 0);

    // Pattern 1 is {4, 16, 2}: 6 ticks a step, 32 steps.
    clock.stop();
    select(0, 1);
    clock.start();
    EXPECT_EQ(clock.pattern(), 1);
    ticks(1);
    ticks(6 * 31);
    EXPECT_EQ(clock.step(), 31);
    ticks(5);
    EXPECT_EQ(clock.step(), 31);
    ticks(1);
    EXPECT_EQ(clock.step(), 0);

    // The show's patterns are 4 steps a quarter: 6 ticks a step, 64 steps.
    clock.setShape(70, 4, 16, 4);
    clock.stop();
    select(0, 70);
    clock.start();
    ticks(1 + 6 * 63);
    EXPECT_EQ(clock.step(), 63);
    ticks(6);
    EXPECT_EQ(clock.step(), 0);
}

TEST_F(PatternClockTest, BankAndProgramTogetherSelectTheNextPattern) {
    clock.setHandler(130, &handler);
    clock.setHandler(2, &handler);
    clock.programChange(2);
    EXPECT_EQ(clock.pendingPattern(), 0) << "a program change alone selects nothing";
    clock.bankSelect(1);
    EXPECT_EQ(clock.pendingPattern(), 130) << "the bank select completes the pair";
    clock.bankSelect(0);
    EXPECT_EQ(clock.pendingPattern(), 130) << "a bank select alone selects nothing";
    clock.programChange(2);
    EXPECT_EQ(clock.pendingPattern(), 2) << "the bank offset stays until the next bank select";
    clock.programChange(200);
    clock.bankSelect(0);
    EXPECT_EQ(clock.pendingPattern(), 2) << "a program above 127 is no program";
    EXPECT_EQ(log, (std::vector<std::string>{"H select 130", "H select 2"}));
    EXPECT_EQ(clock.pattern(), 0) << "selected while stopped: plays from the next start";

    log.clear();
    clock.start();
    EXPECT_EQ(clock.pattern(), 2);
    EXPECT_EQ(log, std::vector<std::string>{"H start 2"});

    // While running, the selection waits for the end of the pattern.
    log.clear();
    ticks(1);
    select(1, 2);
    EXPECT_TRUE(log.empty()) << "no select report while running";
    ticks(3 * 63);
    EXPECT_EQ(clock.step(), 63);
    EXPECT_EQ(clock.pattern(), 2);
    ticks(3);
    EXPECT_EQ(clock.step(), 0);
    EXPECT_EQ(clock.pattern(), 130);
    EXPECT_EQ(log, std::vector<std::string>{"H start 130"});
}

TEST_F(PatternClockTest, StopThenStartRestartsTheCurrentPattern) {
    clock.setHandler(0, &handler);
    clock.start();
    ticks(1 + 3 * 10);
    EXPECT_EQ(clock.step(), 10);
    clock.stop();
    EXPECT_FALSE(clock.isRunning());
    EXPECT_EQ(clock.step(), 10) << "notes while stopped still reach the last step";
    ticks(9);
    EXPECT_EQ(clock.step(), 10);
    clock.start();
    EXPECT_EQ(clock.step(), -1);
    EXPECT_EQ(clock.pendingPattern(), -1);

    // A second start with nothing pending restarts the current pattern too.
    ticks(4);
    clock.start();
    EXPECT_EQ(clock.pattern(), 0);
    EXPECT_EQ(clock.step(), -1);
    EXPECT_EQ(log, (std::vector<std::string>{"H start 0", "H start 0", "H start 0"}));
}

TEST_F(PatternClockTest, RefusesShapesAndPatternsOutsideTheTables) {
    EXPECT_THROW(clock.setShape(5, 0, 16, 4), zentac::Exception);
    EXPECT_THROW(clock.setShape(5, 4, 0, 4), zentac::Exception);
    EXPECT_THROW(clock.setShape(5, 4, 16, -1), zentac::Exception);
    EXPECT_THROW(clock.setShape(5, 4, 33, 2), zentac::Exception) << "66 steps";
    EXPECT_THROW(clock.setShape(5, 4, 0x10000, 0x10000), zentac::Exception);
    EXPECT_THROW(clock.setShape(256, 4, 16, 4), zentac::Exception);
    EXPECT_THROW(clock.setHandler(-1, &handler), zentac::Exception);
    clock.setShape(5, 4, 13, 5);

    // More than 24 steps a quarter: a step on every tick.
    clock.setShape(0, 48, 1, 1);
    clock.start();
    ticks(1);
    EXPECT_EQ(clock.step(), 0);
    ticks(1);
    EXPECT_EQ(clock.step(), 0) << "one step, wrapped";
}

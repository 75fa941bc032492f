#pragma once

#include "framework/clock/timer.h"
#include "platform/ticks.h"

#include <gtest/gtest.h>

#include <cstdint>

// Drives the Timer from a fake tick count: scene time is whatever the test
// sets, whatever the machine is doing.
class FakeClockTest : public ::testing::Test {
protected:
    void SetUp() override {
        host::setTickSource([] { return fakeTicks; });
        Timer::instance().setFixedStep(false);
        Timer::instance().setRate(71.0f);
        restartSceneAt(5000);
    }
    void TearDown() override { host::setTickSource(nullptr); }

    // Scene time 0 falls on this tick count.
    void restartSceneAt(uint32_t ticks) {
        sceneStart = ticks;
        fakeTicks = ticks;
        Timer::instance().reset();
    }
    void setSceneTime(int ms) {
        fakeTicks = sceneStart + static_cast<uint32_t>(ms);
        Timer::instance().update();
    }

    static inline uint32_t fakeTicks = 0;
    uint32_t sceneStart = 0;
};

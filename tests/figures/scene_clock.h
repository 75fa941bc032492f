#pragma once

#include "figures/main_envelopes.h"
#include "framework/timer.h"
#include "platform/ticks.h"

#include <gtest/gtest.h>

#include <cstdint>

// Drives scene time from a fake tick count, with the figure envelopes off
// (each at its initial value) at the start of every test.
class SceneClockTest : public ::testing::Test {
protected:
    void SetUp() override {
        host::setTickSource([] { return fakeTicks; });
        Timer::instance().setFixedStep(false);
        restartSceneAt(5000);
        MainEnvelopes& envelopes = MainEnvelopes::instance();
        for (Envelope* e : {envelopes.timeScaleEnvelope(), envelopes.flickerEnvelope(), envelopes.pulseEnvelope(),
                            envelopes.lineWidthEnvelope(), envelopes.jitterEnvelope(), envelopes.zoomEnvelope()}) {
            e->stop();
        }
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

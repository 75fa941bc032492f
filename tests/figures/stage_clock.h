#pragma once

#include "figures/main_envelopes.h"
#include "tests/fake_clock.h"

// Scene time from a fake tick count, with the stage envelope running from
// scene time 0 (reached at 205001 ms) and the other figure envelopes off, at
// their initial values.
class StageClockTest : public FakeClockTest {
protected:
    void SetUp() override {
        FakeClockTest::SetUp();
        MainEnvelopes& envelopes = MainEnvelopes::instance();
        envelopes.restartAll();
        for (Envelope* e : {envelopes.timeScaleEnvelope(), envelopes.flickerEnvelope(), envelopes.pulseEnvelope(),
                            envelopes.lineWidthEnvelope(), envelopes.jitterEnvelope(), envelopes.zoomEnvelope()}) {
            e->stop();
        }
    }
};

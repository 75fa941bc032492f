#pragma once

#include "figures/main_envelopes.h"
#include "tests/fake_clock.h"

// Scene time from a fake tick count, with the figure envelopes off (each at
// its initial value) at the start of every test.
class SceneClockTest : public FakeClockTest {
protected:
    void SetUp() override {
        FakeClockTest::SetUp();
        MainEnvelopes& envelopes = MainEnvelopes::instance();
        for (Envelope* e : {envelopes.timeScaleEnvelope(), envelopes.flickerEnvelope(), envelopes.pulseEnvelope(),
                            envelopes.lineWidthEnvelope(), envelopes.jitterEnvelope(), envelopes.zoomEnvelope()}) {
            e->stop();
        }
    }
};

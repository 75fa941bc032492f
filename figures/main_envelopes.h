#pragma once

#include "figures/color.h"
#include "framework/clock/envelope.h"

#include <cstdint>

// The seven keyframe envelopes that shape all figure drawing over the show,
// keyed in ms since the main scene was entered.
class MainEnvelopes {
public:
    static MainEnvelopes& instance();
    // Back to the state of a fresh process (test programs run many cases in one).
    void resetToStart();

    // Restarts all seven from the current scene time.
    void restartAll();

    Envelope* timeScaleEnvelope() { return &timeScale_; }
    Envelope* flickerEnvelope() { return &flicker_; }
    Envelope* pulseEnvelope() { return &pulse_; }
    Envelope* lineWidthEnvelope() { return &lineWidth_; }
    Envelope* jitterEnvelope() { return &jitter_; }
    Envelope* zoomEnvelope() { return &zoom_; }

    // How fast every animator track runs.
    float timeScale() { return timeScale_.value(); }
    // How much fill alpha flickers.
    float flicker() { return flicker_.value(); }
    float lineWidth() { return lineWidth_.value(); }
    // Amplitude of the outline vertices' random displacement.
    float jitter() { return jitter_.value(); }
    // Figure vertices are drawn at (p - centre) / zoom + centre.
    float zoom() { return zoom_.value(); }
    // From here on the branch field and the branch events change behaviour.
    bool stageReached() { return stage_.value() > 0.0f; }

    // The fill colour with its alpha flickered; draws a number only while
    // the flicker is on.
    RGBA flickerColor(const RGBA& c);
    RGBA outlineColor(const RGBA& c) const;
    // What outline points are divided by: 1 with the pulse off, swinging
    // between 1 and 6 on the wall clock with the pulse full on.
    float pulseDivisor();
    // What fill points are divided by.
    float unitDivisor() const { return 1.0f; }
    bool isPastIntro() const;

private:
    MainEnvelopes();

    Envelope timeScale_{1.0f};
    Envelope flicker_{0.0f};
    Envelope pulse_{0.0f};
    Envelope lineWidth_{1.0f};
    Envelope jitter_{0.0f};
    Envelope zoom_{4.5f};
    Envelope stage_{0.0f};
    // The last pulse divisor and what it was worked out from.
    bool pulseKnown_ = false;
    uint32_t pulseTick_ = 0;
    float pulseValue_ = 0.0f;
    float pulseDivisor_ = 1.0f;
};

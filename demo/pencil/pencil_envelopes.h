#pragma once

#include "framework/clock/envelope.h"

// The keyframe tracks of the pencil scene: the fly-in pieces' burst sizes
// and spacing, their size factor and the paper's opacity, keyed in ms since
// the start of MIDI pattern 71. Each reads its default until then.
class PencilEnvelopes {
public:
    static PencilEnvelopes& instance();
    // Back to the state of a fresh process (test programs run many cases in one).
    void resetToStart();

    // Starts all six from the current scene time.
    void restartAll();

    // Pieces per burst (rounded by the caller).
    float flyInCountMin() { return flyInCountMin_.value(); }
    float flyInCountMax() { return flyInCountMax_.value(); }
    // Ms between bursts.
    float flyInIntervalMin() { return flyInIntervalMin_.value(); }
    float flyInIntervalMax() { return flyInIntervalMax_.value(); }
    float pieceFactor() { return pieceFactor_.value(); }
    float paperAlpha() { return paperAlpha_.value(); }

private:
    PencilEnvelopes();

    Envelope flyInCountMin_{0.0f};
    Envelope flyInCountMax_{0.0f};
    Envelope flyInIntervalMin_{0.0f};
    Envelope flyInIntervalMax_{0.0f};
    Envelope pieceFactor_{1.0f};
    Envelope paperAlpha_{0.0f};
};

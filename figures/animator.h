#pragma once

#include "figures/element.h"
#include "framework/clock/envelope.h"
#include "framework/triggers/triggerable.h"

// A keyframe track whose elapsed time runs at the figure time scale. The
// scale multiplies the whole elapsed time at each evaluation, so a change of
// scale moves every running animation at once to another point of its keys.
class AnimatorTrack : public Envelope {
public:
    using Envelope::Envelope;

    float valueAt(int elapsed) override;
};

// A restartable track plus a rule that changes an element by the track's
// current value.
class Animator : public Triggerable {
public:
    explicit Animator(float initial) : track_(initial) {}

    using Triggerable::trigger;
    // Restarts the track from the current scene time; the argument is unused.
    void trigger(int value) override;
    virtual void addKey(float value, int time) { track_.addKey(value, time); }
    // Changes e (possibly in place) and returns the element to pass on.
    virtual Element* apply(Element* e) = 0;
    virtual bool isActive() { return true; }
    // Whether a trigger came since the last call.
    bool takeChanged();

protected:
    // The track's value now; before the first trigger, the initial value.
    float value() { return track_.value(); }

private:
    bool changed_ = false;
    AnimatorTrack track_;
};

// The animator of a node that has none: changes nothing, draws nothing.
class IdleAnimator : public Animator {
public:
    IdleAnimator() : Animator(0.0f) {}

    Element* apply(Element* e) override { return e; }
    bool isActive() override { return false; }
};

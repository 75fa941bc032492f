#include "figures/animator.h"

#include "figures/main_envelopes.h"

float AnimatorTrack::valueAt(int elapsed) {
    double scale = MainEnvelopes::instance().timeScale();
    return Envelope::valueAt(static_cast<int>(elapsed * scale));
}

void Animator::trigger(int value) {
    track_.start(value);
    changed_ = true;
}

bool Animator::takeChanged() {
    bool was = changed_;
    changed_ = false;
    return was;
}

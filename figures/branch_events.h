#pragma once

#include "figures/branch_state.h"
#include "framework/midi/midi_pattern_listener.h"
#include "framework/triggers/triggerable.h"

// A note binding of the figure scene: every note-on it hears is one branch
// event of its code, whatever the pattern, note and step.
class BranchListener : public MidiPatternListener {
public:
    // The state is not owned.
    BranchListener(int code, BranchState& state) : code_(code), state_(state) {}

    void onNote(int, int, int) override { state_.onEvent(code_); }
    void onSelect(int) override {}
    void onStart(int) override {}

    int code() const { return code_; }

private:
    int code_;
    BranchState& state_;
};

// The figure event key: a code-16 event, whatever value it is fired with.
class BranchEventTrigger : public Triggerable {
public:
    // The state is not owned.
    explicit BranchEventTrigger(BranchState& state) : state_(state) {}

    using Triggerable::trigger;
    void trigger(int) override { state_.onEvent(BranchState::kChanceCode); }

private:
    BranchState& state_;
};

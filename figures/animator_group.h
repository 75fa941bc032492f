#pragma once

#include "figures/animator.h"

#include <vector>

// Animators gathered in stages: each trigger starts the next stage in turn,
// while apply always runs every stage. The group does not own its animators.
class AnimatorGroup : public Animator {
public:
    AnimatorGroup() : Animator(0.0f), stages_(1) {}

    using Animator::trigger;
    void trigger(int value) override;
    Element* apply(Element* e) override;
    // True when every animator of every stage is.
    bool isActive() override;

    // Appends to the stage that the next trigger fires.
    void add(Animator* animator) { stages_[current_].push_back(animator); }
    void newStage();
    // Makes the next trigger fire the first stage.
    void rewind() { current_ = 0; }

private:
    std::vector<std::vector<Animator*>> stages_;
    std::size_t current_ = 0;
};

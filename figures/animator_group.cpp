#include "figures/animator_group.h"

void AnimatorGroup::trigger(int value) {
    Animator::trigger(value);
    for (Animator* animator : stages_[current_]) animator->trigger(0);
    current_ = (current_ + 1) % stages_.size();
}

Element* AnimatorGroup::apply(Element* e) {
    for (const auto& stage : stages_) {
        for (Animator* animator : stage) e = animator->apply(e);
    }
    return e;
}

bool AnimatorGroup::isActive() {
    for (const auto& stage : stages_) {
        for (Animator* animator : stage) {
            if (!animator->isActive()) return false;
        }
    }
    return true;
}

void AnimatorGroup::newStage() {
    stages_.emplace_back();
    current_ += 1;
}

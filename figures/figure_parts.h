#pragma once

#include "figures/animator.h"
#include "figures/color_source.h"

#include <memory>
#include <utility>
#include <vector>

// Keeps the animators and colour sources that the figure generators make for
// as long as the figures that use them: figures, animator groups and pickers
// only point at them.
class FigureParts {
public:
    template <class A, class... Args>
    A* makeAnimator(Args&&... args) {
        auto animator = std::make_unique<A>(std::forward<Args>(args)...);
        A* kept = animator.get();
        animators_.push_back(std::move(animator));
        return kept;
    }

    ColorSource* keep(std::unique_ptr<ColorSource> source) {
        colors_.push_back(std::move(source));
        return colors_.back().get();
    }

private:
    std::vector<std::unique_ptr<Animator>> animators_;
    std::vector<std::unique_ptr<ColorSource>> colors_;
};

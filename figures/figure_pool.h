#pragma once

#include "figures/figure_node.h"
#include "figures/figure_parts.h"
#include "figures/random_picker.h"

#include <memory>
#include <vector>

// Every pre-built figure of the show, built at once in a fixed order of ids
// and counts (the order fixes every figure's random numbers), with the
// pickers that start them and the parts they run on. Nothing is built
// afterwards: a figure started again restarts its animation.
class FigurePool {
public:
    // High budget builds 320 instead of 80 figures of the last id; all
    // figures before them come out the same.
    explicit FigurePool(bool highBudget);

    // The figure roots in build order.
    const std::vector<FigureBase*>& figures() const { return figures_; }
    // One picker per group code.
    const FigureRegistry& registry() const { return registry_; }

private:
    FigureParts parts_;
    FigureRegistry registry_;
    std::vector<std::unique_ptr<FigureGroup>> roots_;
    std::vector<FigureBase*> figures_;
};

#pragma once

#include "figures/figure_generators.h"
#include "figures/figure_node.h"

#include <map>
#include <memory>

class FigureParts;
class FigureRegistry;

// Turns a figure id into one finished figure: runs the id's generator,
// gives every node the id and files the figure's start group under the id's
// group code.
class FigureFactory {
public:
    // New figures keep their animators and colours in parts and file their
    // start groups in registry; both must outlive the figures.
    FigureFactory(FigureParts& parts, FigureRegistry& registry);

    // An id without a generator gives an empty figure, filed nowhere.
    std::unique_ptr<FigureGroup> create(int id);

private:
    FigureParts& parts_;
    FigureRegistry& registry_;
    // One per id, kept across figures: a generator may carry state from one
    // of its figures to the next.
    std::map<int, std::unique_ptr<FigureGenerator>> generators_;
};

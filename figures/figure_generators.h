#pragma once

#include <memory>

class AnimatorGroup;
class FigureBuild;

// The recipe of one figure id: its shapes level by level and the animation
// that starts when the returned group is triggered. Every random choice
// comes from the shared generator in a fixed order, so the figures of one id
// share their recipe and differ only in their drawn numbers.
class FigureGenerator {
public:
    virtual ~FigureGenerator() = default;
    virtual AnimatorGroup* build(FigureBuild& fb) = 0;
};

// The generator of a figure id, or null for an id that has none.
std::unique_ptr<FigureGenerator> makeFigureGenerator(int id);

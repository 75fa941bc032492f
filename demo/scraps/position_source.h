#pragma once

#include "figures/vec2.h"

class Renderer;

// Where a scrap field puts its next paper piece.
class PositionSource {
public:
    virtual ~PositionSource() = default;

    // Hooks for sources that show or restart themselves; the show's sources
    // do neither.
    virtual void draw(Renderer&) {}
    virtual void rewind() {}
    virtual void shutdown() {}

    virtual bool hasMore() = 0;
    // Ask only after hasMore said true.
    virtual Vec2 next() = 0;
};

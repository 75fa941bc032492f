#pragma once

#include <array>
#include <vector>

#include "figures/vec2.h"

class Renderer;

// A small white shard with black outlines that flies in a straight line,
// spinning, and is free again once it has arrived.
class FlyInPiece {
public:
    // Ten triangles of jittered points around (0, 0), within -4..3 units.
    FlyInPiece();

    bool isDone() const { return done_; }
    // Flies from s to e at `speed` units per ms, from now on.
    void start(Vec2 s, Vec2 e, float speed);
    // Draws the shard where it is now; the frame it arrives it is drawn
    // once more and then free.
    void update(Renderer& renderer);
    void draw(Vec2 position, Renderer& renderer);

    using Triangle = std::array<Vec2, 3>;
    const std::vector<Triangle>& triangles() const { return triangles_; }
    Vec2 pivot() const { return pivot_; }
    float spin() const { return spin_; }
    float duration() const { return duration_; }

private:
    std::vector<Triangle> triangles_;
    float spin_;
    float angle_ = 0.0f;
    Vec2 pivot_;
    bool done_ = true;
    Vec2 start_;
    Vec2 delta_;
    float duration_ = 0.0f;
    float startTime_ = 0.0f;
};

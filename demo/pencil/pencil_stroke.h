#pragma once

#include "figures/vec2.h"

#include <vector>

class Image;
class Renderer;

// One straight textured pencil line.
class PencilSegment {
public:
    void set(Vec2 from, Vec2 to, float alpha, Image* texture);
    void draw(Renderer& renderer) const;

    Vec2 from() const { return from_; }
    Vec2 to() const { return to_; }
    float alpha() const { return alpha_; }

private:
    Vec2 from_;
    Vec2 to_;
    float alpha_ = 0.0f;
    Image* texture_ = nullptr;
};

// A hand-drawn line: short jittered segments, drawn in order.
class PencilStroke {
public:
    void add(const PencilSegment& segment) { segments_.push_back(segment); }
    void draw(Renderer& renderer) const;

    const std::vector<PencilSegment>& segments() const { return segments_; }

private:
    std::vector<PencilSegment> segments_;
};

// The graphite texture of a render layer's strokes.
class StrokeTexture {
public:
    // Fetches "data/pencilbackground/teststroke5.png" from the image cache.
    StrokeTexture();

    // A stroke that starts at `start` and runs |start - end| away from `end`
    // in steps of 1 to 10 units, each end jittered by up to 2 units. Draws
    // from the shared random generator.
    PencilStroke makePencilStroke(Vec2 start, Vec2 end, float alpha) const;

    Image* image() const { return image_; }

private:
    Image* image_;
};

#pragma once

#include "figures/color.h"
#include "figures/vec2.h"

#include <vector>

// What a figure node hands through its animators to the drawing code each
// frame: a shape with where and in which colours to draw it.
class Element {
public:
    void setPos(Vec2 p) { position_ = p; }
    Vec2 pos() const { return position_; }
    void setPivot(Vec2 p) { pivot_ = p; }
    Vec2 pivot() const { return pivot_; }
    void setChildOffset(Vec2 p) { childOffset_ = p; }
    Vec2 childOffset() const { return childOffset_; }
    void setColor(RGBA c) { color_ = c; }
    RGBA color() const { return color_; }
    void setColor2(RGBA c) { color2_ = c; }
    RGBA color2() const { return color2_; }
    void setOffset(Vec2 p) { offset_ = p; }
    Vec2 offset() const { return offset_; }

    void setPoints(const std::vector<Vec2>& points) { points_ = points; }
    // Empties the point list only; the other fields keep their values.
    void clear() { points_.clear(); }
    Vec2& pointAt(int i) { return points_[i]; }
    int count() const { return static_cast<int>(points_.size()); }
    const std::vector<Vec2>& points() const { return points_; }

private:
    std::vector<Vec2> points_;
    // Relative to what the parent passes down.
    Vec2 position_;
    // Carried through the animators; drawing does not use it.
    Vec2 pivot_;
    // Added to the drawing position of the node's children.
    Vec2 childOffset_;
    RGBA color_{1.0f, 1.0f, 1.0f, 1.0f};
    RGBA color2_{0.0f, 0.0f, 0.0f, 1.0f};
    // Screen offset at which a figure's first-level node is drawn.
    Vec2 offset_;
};

// A ring of scratch elements, so that nothing is allocated while the show
// runs. An element taken from it must be used before 1000 further takes.
class ElementPool {
public:
    static ElementPool& instance();
    // Back to the state of a fresh process (test programs run many cases in one).
    void resetToStart();

    // The element at the cursor with its point list emptied; every other
    // field still holds what its previous user left there.
    Element* next();

private:
    static constexpr int kSize = 1000;

    ElementPool() : elements_(kSize) {}

    std::vector<Element> elements_;
    int cursor_ = 0;
};

#pragma once

#include "figures/vec2.h"

#include <memory>
#include <vector>

class Animator;
class ColorSource;
class Element;
class Renderer;

// A node of a figure tree. Each frame an active node takes a scratch element
// from its shape, runs it through its animator and draws it; children are
// drawn relative to it. A node owns its children.
class FigureBase {
public:
    // Takes two draws of the shared generator, as every node of every figure
    // always has: the numbers of all later figures follow from them.
    FigureBase();
    virtual ~FigureBase() = default;
    FigureBase(const FigureBase&) = delete;
    FigureBase& operator=(const FigureBase&) = delete;

    // Updates and draws the node when active, at the offset its animation
    // places it.
    virtual void frame(Renderer& renderer);
    // The points on which the level below hangs its shapes; n is the number
    // the figure builder asks of every anchor (not every shape honours it).
    virtual std::vector<Vec2> anchorPoints(int n) const = 0;

    // Draws at (dx, dy) plus the element's position, then the children.
    // Unless skipUpdate, an inactive node draws nothing and an active one is
    // updated first.
    void draw(Renderer& renderer, float dx, float dy, bool skipUpdate);
    // Takes a fresh element through the animator; a restarted animation
    // lets the node refresh its colours.
    void update();
    // Whether the animator or any descendant's is active.
    bool isActive();

    // The animator is not owned; until set, the node is idle.
    void setAnimator(Animator* animator) { animator_ = animator; }
    void addChild(std::unique_ptr<FigureBase> child) { children_.push_back(std::move(child)); }
    const std::vector<std::unique_ptr<FigureBase>>& children() const { return children_; }
    // Sets the id of this node and of every descendant.
    void setId(int id);
    int id() const { return id_; }

protected:
    // An element from the scratch pool that holds the node's own shape.
    virtual Element* baseElement() = 0;
    virtual void onChanged() {}

private:
    Animator* animator_;
    std::vector<std::unique_ptr<FigureBase>> children_;
    // The element of the last update; valid in the frame it was taken.
    Element* current_ = nullptr;
    int id_ = 0;
};

// The root of every figure: hangs on (0, 0) and never draws itself.
class FigureGroup : public FigureBase {
public:
    // Runs the frame of every first-level node; nothing when none of the
    // levels' animators is active.
    void frame(Renderer& renderer) override;
    // The single point (0, 0), whatever n is.
    std::vector<Vec2> anchorPoints(int n) const override;
    // The animator of one level of nodes below: when every node below runs
    // one of those given, a frame in which none is active finds nothing to
    // draw, and need not walk the tree to find that out.
    void addLevelAnimator(Animator* animator) { levelAnimators_.push_back(animator); }

protected:
    Element* baseElement() override;

private:
    std::vector<Animator*> levelAnimators_;
};

// A leaf shape: points around a pivot, coloured by its source.
class Shape : public FigureBase {
public:
    // Turns the points about the pivot and leaves them relative to it; the
    // child offset becomes their mean ((0, 0) for no points).
    void rotatePoints(float angle);

    const std::vector<Vec2>& points() const { return points_; }
    Vec2 position() const { return position_; }
    Vec2 pivot() const { return pivot_; }
    Vec2 childOffset() const { return childOffset_; }
    ColorSource& source() const { return *source_; }

protected:
    // The source is not owned and must outlive the shape.
    Shape(std::vector<Vec2> points, Vec2 position, Vec2 pivot, ColorSource& source);

    // The shape with the source's colours, opaque, and no screen offset.
    Element* baseElement() override;
    // A new start of the animation gets new colours.
    void onChanged() override;

private:
    std::vector<Vec2> points_;
    Vec2 position_;
    Vec2 pivot_;
    Vec2 childOffset_;
    ColorSource* source_;
};

class CircleShape : public Shape {
public:
    // count points on the circle, the first at angle 0, at position (x, y).
    CircleShape(float radius, float x, float y, Vec2 pivot, int count, ColorSource& source);

    // n points on the circle (not the turned shape).
    std::vector<Vec2> anchorPoints(int n) const override;

private:
    float radius_;
};

class RectShape : public Shape {
public:
    // The corners (x, y), (x + w, y), (x + w, y + h), (x, y + h).
    RectShape(float x, float y, float w, float h, Vec2 position, Vec2 pivot, ColorSource& source);

    // The shape's own four points, whatever n is.
    std::vector<Vec2> anchorPoints(int n) const override;
};

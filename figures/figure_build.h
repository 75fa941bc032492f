#pragma once

#include "figures/color_source.h"
#include "figures/figure_node.h"
#include "figures/vec2.h"

#include <memory>
#include <vector>

class AnimatorGroup;
class FigureParts;

// One kind of shape of a figure level.
class ShapeSpec {
public:
    enum Kind { None = 0, Circle = 1, Rect = 2 };
    struct RectBounds {
        float x = 0.0f;
        float y = 0.0f;
        float w = 0.0f;
        float h = 0.0f;
    };

    // The point of the shape that sits on its anchor.
    void setOffset(Vec2 offset) { offset_ = offset; }
    Vec2 offset() const { return offset_; }
    // Any kind but Circle and Rect makes no shapes.
    void setKind(int kind) { kind_ = kind; }
    int kind() const { return kind_; }
    // The number of points of a circle.
    void setCount(int count) { count_ = count; }
    int count() const { return count_; }
    // The radius of a circle.
    void setSize(float size) { size_ = size; }
    float size() const { return size_; }
    void setRect(float x, float y, float w, float h) { rect_ = {x, y, w, h}; }
    RectBounds rect() const { return rect_; }
    // The prototype whose clones colour the shapes; circles and rectangles
    // need one.
    void setColor(std::unique_ptr<ColorSource> color) { color_ = std::move(color); }
    // A new clone on every call (a random source draws its colour at once);
    // null without a colour.
    std::unique_ptr<ColorSource> colorClone() const;

private:
    Vec2 offset_;
    int kind_ = None;
    int count_ = -1;
    float size_ = -1.0f;
    RectBounds rect_;
    std::unique_ptr<ColorSource> color_;
};

// Which shapes of a ring to keep, by their index i of n.
class AnchorFilter {
public:
    virtual ~AnchorFilter() = default;
    virtual bool matches(int i, int n) const = 0;
};

// Keeps every period-th shape, starting with the first, or, inverted, all
// the others. A period below 1 keeps every shape (or, inverted, none).
class EveryNth : public AnchorFilter {
public:
    EveryNth(int period, bool invert) : period_(period), invert_(invert) {}

    bool matches(int i, int n) const override;

private:
    int period_;
    bool invert_;
};

// Builds one figure level by level: each finishFigure hangs one shape of a
// spec on every anchor point of every node of the level above, each shape
// turned to face away from its anchor node's centre.
class FigureBuild {
public:
    // Starts with an empty root group (two draws) as the only anchor.
    explicit FigureBuild(FigureParts& parts);

    // Hangs the spec's shapes, all animated by group and coloured by one
    // shared clone of the spec's colour. Shapes the filter rejects are made
    // all the same (their draws happen) and dropped.
    void finishFigure(const ShapeSpec& spec, AnimatorGroup* group, const AnchorFilter* filter = nullptr);
    // Makes the shapes of the latest finishFigure the anchors of the next
    // level, each asked for n anchor points.
    void nextLevel(int n);

    FigureParts& parts() { return parts_; }
    FigureGroup& root() { return *root_; }
    std::unique_ptr<FigureGroup> takeRoot() { return std::move(root_); }

private:
    FigureParts& parts_;
    std::unique_ptr<FigureGroup> root_;
    std::vector<FigureBase*> anchors_;
    std::vector<FigureBase*> current_;
    int n_ = 1;
};

using ShapeNodes = std::vector<std::unique_ptr<Shape>>;

// One circle per anchor point, each after a throwaway clone of source (its
// draws are part of the figure's numbers).
ShapeNodes makeCircleNodes(const std::vector<Vec2>& anchors, const AnchorFilter* filter, Vec2 pivot, float radius,
                           int count, ColorSource& source);
// One rectangle per anchor point.
ShapeNodes makeRectNodes(const std::vector<Vec2>& anchors, const AnchorFilter* filter, Vec2 pivot,
                         ShapeSpec::RectBounds rect, ColorSource& source);

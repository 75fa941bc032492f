#include "figures/figure_build.h"

#include "figures/animator_group.h"
#include "figures/figure_parts.h"

namespace {

constexpr float kTwoPi = 3.141592f * 2.0f;

// Turns a new shape to face away from its anchor node's centre and keeps it
// unless the filter rejects it.
void place(ShapeNodes& made, std::unique_ptr<Shape> shape, int i, int n, const AnchorFilter* filter) {
    shape->rotatePoints(static_cast<float>(i) / static_cast<float>(n) * kTwoPi);
    if (!filter || filter->matches(i, n)) made.push_back(std::move(shape));
}

}  // namespace

std::unique_ptr<ColorSource> ShapeSpec::colorClone() const { return color_ ? color_->clone() : nullptr; }

bool EveryNth::matches(int i, int) const {
    bool onPeriod = period_ < 1 || i % period_ == 0;
    return onPeriod != invert_;
}

FigureBuild::FigureBuild(FigureParts& parts) : parts_(parts), root_(std::make_unique<FigureGroup>()) {
    current_.push_back(root_.get());
    nextLevel(1);
}

void FigureBuild::finishFigure(const ShapeSpec& spec, AnimatorGroup* group, const AnchorFilter* filter) {
    std::vector<FigureBase*> made;
    std::unique_ptr<ColorSource> clone = spec.colorClone();
    bool makesShapes = clone && (spec.kind() == ShapeSpec::Circle || spec.kind() == ShapeSpec::Rect);
    if (makesShapes) {
        ColorSource& source = *parts_.keep(std::move(clone));
        for (FigureBase* anchor : anchors_) {
            std::vector<Vec2> points = anchor->anchorPoints(n_);
            ShapeNodes nodes = spec.kind() == ShapeSpec::Circle
                                   ? makeCircleNodes(points, filter, spec.offset(), spec.size(), spec.count(), source)
                                   : makeRectNodes(points, filter, spec.offset(), spec.rect(), source);
            for (auto& node : nodes) {
                node->setAnimator(group);
                made.push_back(node.get());
                anchor->addChild(std::move(node));
            }
        }
        root_->addLevelAnimator(group);
    }
    current_ = std::move(made);
}

void FigureBuild::nextLevel(int n) {
    n_ = n;
    anchors_ = current_;
}

ShapeNodes makeCircleNodes(const std::vector<Vec2>& anchors, const AnchorFilter* filter, Vec2 pivot, float radius,
                           int count, ColorSource& source) {
    ShapeNodes made;
    int n = static_cast<int>(anchors.size());
    for (int i = 0; i < n; ++i) {
        // The clone goes unused, but a random one draws its colour at once.
        source.clone();
        place(made, std::make_unique<CircleShape>(radius, anchors[i].x, anchors[i].y, pivot, count, source), i, n,
              filter);
    }
    return made;
}

ShapeNodes makeRectNodes(const std::vector<Vec2>& anchors, const AnchorFilter* filter, Vec2 pivot,
                         ShapeSpec::RectBounds rect, ColorSource& source) {
    ShapeNodes made;
    int n = static_cast<int>(anchors.size());
    for (int i = 0; i < n; ++i) {
        place(made, std::make_unique<RectShape>(rect.x, rect.y, rect.w, rect.h, anchors[i], pivot, source), i, n,
              filter);
    }
    return made;
}

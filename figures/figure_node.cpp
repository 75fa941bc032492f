#include "figures/figure_node.h"

#include "figures/animator.h"
#include "figures/color_source.h"
#include "figures/element.h"
#include "figures/figure_drawing.h"
#include "figures/random.h"

#include <algorithm>
#include <cmath>

namespace {

// What a node runs before a figure builder gives it its level's animation.
IdleAnimator& idleAnimator() {
    static IdleAnimator idle;
    return idle;
}

std::vector<Vec2> circlePoints(float radius, int n) {
    constexpr float kFullTurn = 6.283184f;
    std::vector<Vec2> points;
    points.reserve(n > 0 ? n : 0);
    for (int i = 0; i < n; ++i) {
        float angle = static_cast<float>(i) / static_cast<float>(n) * kFullTurn;
        points.push_back({radius * std::cos(angle), radius * std::sin(angle)});
    }
    return points;
}

RGBA opaque(const RGB& c) { return {c.r, c.g, c.b, 1.0f}; }

}  // namespace

FigureBase::FigureBase() : animator_(&idleAnimator()) {
    // Once a tint of the node itself; every drawn shape takes its colours
    // from its source instead, but the two draws remain part of every
    // figure's numbers.
    nextRandom();
    nextRandom();
}

void FigureBase::frame(Renderer& renderer) {
    if (!isActive()) return;
    update();
    Vec2 offset = current_->offset();
    draw(renderer, offset.x, offset.y, true);
}

void FigureBase::draw(Renderer& renderer, float dx, float dy, bool skipUpdate) {
    if (!skipUpdate) {
        if (!isActive()) return;
        update();
    }
    const Element& e = *current_;
    float x = e.pos().x + dx;
    float y = e.pos().y + dy;
    // Copied now: the children take scratch elements, and after enough takes
    // the pool hands this one out again.
    Vec2 childOffset = e.childOffset();
    if (e.color().a > 0.0f && e.color2().a > 0.0f) {
        drawFigureFill(renderer, e, x, y);
        drawFigureOutline(renderer, e, x, y);
    }
    for (const auto& child : children_) child->draw(renderer, x + childOffset.x, y + childOffset.y, false);
}

void FigureBase::update() {
    current_ = animator_->apply(baseElement());
    if (animator_->takeChanged()) onChanged();
}

bool FigureBase::isActive() {
    if (animator_->isActive()) return true;
    for (const auto& child : children_) {
        if (child->isActive()) return true;
    }
    return false;
}

void FigureBase::setId(int id) {
    id_ = id;
    for (const auto& child : children_) child->setId(id);
}

void FigureGroup::frame(Renderer& renderer) {
    // Most figures rest most of the show, with thousands of nodes.
    if (!levelAnimators_.empty() &&
        std::none_of(levelAnimators_.begin(), levelAnimators_.end(), [](Animator* a) { return a->isActive(); })) {
        return;
    }
    for (const auto& child : children()) child->frame(renderer);
}

std::vector<Vec2> FigureGroup::anchorPoints(int) const { return {Vec2{}}; }

Element* FigureGroup::baseElement() { return ElementPool::instance().next(); }

Shape::Shape(std::vector<Vec2> points, Vec2 position, Vec2 pivot, ColorSource& source)
    : points_(std::move(points)), position_(position), pivot_(pivot), source_(&source) {}

void Shape::rotatePoints(float angle) {
    float c = std::cos(angle);
    float s = std::sin(angle);
    Vec2 sum;
    for (Vec2& p : points_) {
        Vec2 d = p - pivot_;
        p = {d.x * c - d.y * s, d.x * s + d.y * c};
        sum = sum + p;
    }
    childOffset_ = points_.empty() ? Vec2{} : sum * (1.0f / static_cast<float>(points_.size()));
}

Element* Shape::baseElement() {
    Element* e = ElementPool::instance().next();
    e->setPoints(points_);
    e->setPos(position_);
    e->setPivot(pivot_);
    e->setChildOffset(childOffset_);
    e->setColor(opaque(source_->color()));
    e->setColor2(opaque(source_->color2()));
    // A pool element still holds its last user's offset; only first-level
    // animations set one, and nothing should inherit a stranger's.
    e->setOffset({});
    return e;
}

void Shape::onChanged() { source_->regenerate(); }

CircleShape::CircleShape(float radius, float x, float y, Vec2 pivot, int count, ColorSource& source)
    : Shape(circlePoints(radius, count), {x, y}, pivot, source), radius_(radius) {}

std::vector<Vec2> CircleShape::anchorPoints(int n) const { return circlePoints(radius_, n); }

RectShape::RectShape(float x, float y, float w, float h, Vec2 position, Vec2 pivot, ColorSource& source)
    : Shape({{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}}, position, pivot, source) {}

std::vector<Vec2> RectShape::anchorPoints(int) const { return points(); }

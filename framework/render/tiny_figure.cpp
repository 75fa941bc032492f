#include "framework/render/tiny_figure.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

// The driver places corners on a grid of 1/256 pixel.
WindowPoint snapped(const WindowPoint& p) {
    return {std::nearbyint(p.x * 256.0f) / 256.0f, std::nearbyint(p.y * 256.0f) / 256.0f};
}

// Inside a convex outline of either winding, its corners already snapped.
bool holds(const WindowPoint* polygon, std::size_t count, float x, float y) {
    bool anyLeft = false;
    bool anyRight = false;
    for (std::size_t i = 0; i < count; ++i) {
        const WindowPoint a = polygon[i];
        const WindowPoint b = polygon[i + 1 == count ? 0 : i + 1];
        const float side = (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
        if (side > 0.0f) anyLeft = true;
        if (side < 0.0f) anyRight = true;
    }
    return !(anyLeft && anyRight);
}

}  // namespace

TinyFigure::Box TinyFigure::boxAround(const std::vector<WindowPoint>& points) {
    Box box{points.front().x, points.front().y, points.front().x, points.front().y};
    for (const WindowPoint& p : points) {
        box.minX = std::min(box.minX, p.x);
        box.minY = std::min(box.minY, p.y);
        box.maxX = std::max(box.maxX, p.x);
        box.maxY = std::max(box.maxY, p.y);
    }
    return box;
}

bool TinyFigure::fitsIn(const Box& box) {
    return box.maxX - box.minX <= kMaxExtent && box.maxY - box.minY <= kMaxExtent;
}

TinyFigure::TinyFigure(const std::vector<WindowPoint>& outline, float lineWidth) {
    if (outline.size() < 2) return;
    box_ = boxAround(outline);
    reach_ = std::max(lineWidth, 1.0f) * 0.5f + 0.5f;
    fits_ = fitsIn(box_);
}

WindowPoint TinyFigure::lowCorner() const { return {box_.minX - reach_ - 0.02f, box_.minY - reach_ - 0.02f}; }

WindowPoint TinyFigure::highCorner() const { return {box_.maxX + reach_ + 0.02f, box_.maxY + reach_ + 0.02f}; }

bool TinyFigure::addFill(const std::vector<WindowPoint>& fill) {
    if (fill.size() < 3 || fill.size() > kMaxFillCorners) return false;
    const Box own = boxAround(fill);
    const Box both{std::min(own.minX, box_.minX), std::min(own.minY, box_.minY), std::max(own.maxX, box_.maxX),
                   std::max(own.maxY, box_.maxY)};
    if (!fitsIn(both)) return false;
    box_ = both;
    // At most two pixel centres along each axis lie within 1.5 pixels.
    maskOrigin_ = {std::ceil(own.minX - 0.5f), std::ceil(own.minY - 0.5f)};
    mask_ = 0;
    WindowPoint corners[kMaxFillCorners];
    const std::size_t count = fill.size();
    for (std::size_t i = 0; i < count; ++i) corners[i] = snapped(fill[i]);
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 2; ++column) {
            const float x = maskOrigin_.x + static_cast<float>(column) + 0.5f;
            const float y = maskOrigin_.y + static_cast<float>(row) + 0.5f;
            if (x <= own.maxX && y <= own.maxY && holds(corners, count, x, y)) mask_ |= 1u << (row * 2 + column);
        }
    }
    return true;
}

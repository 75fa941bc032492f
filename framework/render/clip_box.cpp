#include "framework/render/clip_box.h"

#include <utility>

namespace {

enum class Side { Left, Bottom, Right, Top };

// The last pass over the left edge again catches ends that rounding moved back
// out of it while they were being cut to the other edges.
constexpr Side passes[] = {Side::Left, Side::Bottom, Side::Right, Side::Top, Side::Left};

bool isVertical(Side side) { return side == Side::Left || side == Side::Right; }

double edgeOf(const ClipBox& box, Side side) {
    switch (side) {
        case Side::Left: return box.left;
        case Side::Right: return box.right;
        case Side::Top: return box.top;
        case Side::Bottom: return box.bottom;
    }
    return 0.0;
}

bool inside(const ClipBox& box, Side side, double x, double y) {
    switch (side) {
        case Side::Left: return x > box.left;
        case Side::Right: return x < box.right;
        case Side::Top: return y > box.top;
        case Side::Bottom: return y < box.bottom;
    }
    return false;
}

// Where the segment from (ax, ay) to (bx, by), one end on each side of the
// edge, crosses it, as a fraction of the way from a to b.
double crossing(const ClipBox& box, Side side, double ax, double ay, double bx, double by) {
    double edge = edgeOf(box, side);
    return isVertical(side) ? (edge - ax) / (bx - ax) : (edge - ay) / (by - ay);
}

// The point a fraction s of the way from `from` to `to`, put exactly on the
// edge that it was cut to.
template <class Point, class Lerp>
Point cutAt(const ClipBox& box, Side side, const Point& from, const Point& to, Lerp lerp) {
    double s = crossing(box, side, from.x, from.y, to.x, to.y);
    Point cut = lerp(from, to, s);
    (isVertical(side) ? cut.x : cut.y) = edgeOf(box, side);
    return cut;
}

SegmentEnd lerpEnd(const SegmentEnd& a, const SegmentEnd& b, double s) {
    return {a.x + (b.x - a.x) * s, a.y + (b.y - a.y) * s, a.t + (b.t - a.t) * s};
}

PolygonVertex lerpVertex(const PolygonVertex& a, const PolygonVertex& b, double s) {
    PolygonVertex cut{a.x + (b.x - a.x) * s, a.y + (b.y - a.y) * s, {}};
    for (int c = 0; c < 3; ++c) cut.values[c] = a.values[c] + (b.values[c] - a.values[c]) * s;
    return cut;
}

}  // namespace

bool clipSegment(const ClipBox& box, SegmentEnd& a, SegmentEnd& b) {
    for (Side side : passes) {
        bool aInside = inside(box, side, a.x, a.y);
        bool bInside = inside(box, side, b.x, b.y);
        if (!aInside && !bInside) return false;
        if (!aInside) a = cutAt(box, side, a, b, lerpEnd);
        if (!bInside) b = cutAt(box, side, b, a, lerpEnd);
    }
    return true;
}

void clipPolygon(const ClipBox& box, std::vector<PolygonVertex>& outline, std::vector<PolygonVertex>& scratch) {
    for (Side side : passes) {
        scratch.clear();
        std::size_t count = outline.size();
        for (std::size_t i = 0; i < count; ++i) {
            const PolygonVertex& previous = outline[(i + count - 1) % count];
            const PolygonVertex& current = outline[i];
            bool previousInside = inside(box, side, previous.x, previous.y);
            bool currentInside = inside(box, side, current.x, current.y);
            if (currentInside != previousInside) scratch.push_back(cutAt(box, side, previous, current, lerpVertex));
            if (currentInside) scratch.push_back(current);
        }
        std::swap(outline, scratch);
    }
}

#pragma once

#include "framework/render/polygon_fill.h"

#include <vector>

// A rectangle that lines and outlines are cut to. A point counts as inside only
// strictly within: x > left, x < right, y > top, y < bottom.
struct ClipBox {
    int left;
    int right;
    int top;
    int bottom;
};

// An end of a segment being clipped; t is its place along the segment as given
// (0 at the start, 1 at the end), for interpolating what the ends carry.
struct SegmentEnd {
    double x;
    double y;
    double t;
};

// Moves the ends that lie outside onto the box's edges, edge by edge (left,
// bottom, right, top, and left once more). False when the segment lies wholly
// outside one edge; the ends are then unspecified.
bool clipSegment(const ClipBox& box, SegmentEnd& a, SegmentEnd& b);

// Keeps the part of the outline inside the box, edge by edge as above, adding
// the crossing points with their values interpolated. May leave fewer than
// three corners. Uses scratch as working room.
void clipPolygon(const ClipBox& box, std::vector<PolygonVertex>& outline, std::vector<PolygonVertex>& scratch);

#pragma once

#include "demo/shared/vec3.h"

#include <cstddef>
#include <string>
#include <vector>

// The points of a vertex file, in file order:
//
//   numVertices=2
//   x=10.000000,y=-4.500000,z=0.250000
//   x=12.000000,y=3.000000,z=-1.000000
//
// Lines end with LF. A first line that is not a count header gives no
// points. Throws zentac::Exception naming the file when the count is
// negative, the text ends (or holds a zero byte) before the count is
// reached, or a vertex line does not read as "x=<n>,y=<n>,z=<n>" with finite
// numbers. Nothing past size is read: the text need not be terminated.
std::vector<Vec3> parseVertexFile(const char* text, std::size_t size, const std::string& name);

// The shared corners of the pen figures: the points of several vertex files
// one after another, handed out in a circle.
class VertexList {
public:
    // Appends the points of the vertex file `name` (through the file
    // system); the next point is the list's first again. Throws
    // zentac::Exception when the file is missing or malformed.
    void load(const std::string& name);
    // The point at the cursor, which then moves on, back to the first point
    // after the last. An empty list gives (0, 0, 0).
    Vec3 next();
    void reset() { cursor_ = 0; }
    int count() const { return static_cast<int>(points_.size()); }

private:
    std::vector<Vec3> points_;
    std::size_t cursor_ = 0;
};

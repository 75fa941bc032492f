#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "demo/scraps/position_source.h"

// Points recorded with an editing tool, one stroke after another.
class PositionStroke {
public:
    void add(Vec2 point) { points_.push_back(point); }
    const std::vector<Vec2>& points() const { return points_; }

private:
    std::vector<Vec2> points_;
};

// The points of a positions file, each handed out once, in file order:
//
//   positions=2<LF><CR>
//   x=10.5, y=200.0<LF><CR>
//   x=12.0, y=201.5<LF><CR>
//
// Every line ends with LF then CR. The reader steps over the line feed and
// one byte more, so a file with CR LF ends loses the first letter of each
// following line (and is refused as malformed here).
//
// Throws zentac::Exception naming the file when it cannot be opened, the
// count is negative, or a point line is missing or does not read as
// "x=<number>, y=<number>" with finite numbers. A first line that is not a
// count header gives no points.
std::vector<Vec2> parsePositions(const char* text, std::size_t size, const std::string& name);

class PositionList : public PositionSource {
public:
    // Added to every point read after this call.
    void setOffset(float x, float y) { offset_ = {x, y}; }
    // Appends the file's points (moved by the offset) to those still to
    // hand out.
    void load(const std::string& name);

    // The current stroke joins the finished ones; a new one begins.
    void newStroke();

    // Asks whether to save recorded positions when there are any; nothing
    // is written either way.
    void shutdown() override;
    bool hasMore() override { return !points_.empty(); }
    Vec2 next() override;

    const std::vector<PositionStroke>& finishedStrokes() const { return finished_; }

private:
    PositionStroke current_;
    std::vector<PositionStroke> finished_;
    std::deque<Vec2> points_;
    // Set while nothing was loaded: the list then holds recorded strokes.
    bool dirty_ = true;
    Vec2 offset_;
};

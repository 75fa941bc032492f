#pragma once

#include <set>

// A position that steps at random over a 40-unit grid of the screen to a
// cell it has not stopped at before, so that successive figures placed by it
// spread out. The cells it has stopped at are kept for its whole life.
class GridWalker {
public:
    struct Cell {
        int x;
        int y;
    };

    // Where the walk stands; the start cell before the first walk.
    Cell position() const { return position_; }
    // Steps until it stands on a cell it has not stopped at before (four
    // draws a step). Back at the start cell whenever it leaves the screen.
    // Once every cell has been used, the record starts afresh.
    void walk();

private:
    static constexpr Cell kStart{420, 410};
    static constexpr int kStep = 40;

    static bool onScreen(Cell c) { return -20 < c.x && c.x < 640 && 0 < c.y && c.y < 500; }

    Cell position_ = kStart;
    std::set<int> used_;
};

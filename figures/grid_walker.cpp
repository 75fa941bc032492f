#include "figures/grid_walker.h"

#include "figures/random.h"

namespace {

// The grid cells on screen: x = 20 .. 620, y = 10 .. 490.
constexpr std::size_t kCellCount = 16 * 13;

}  // namespace

void GridWalker::walk() {
    if (used_.size() >= kCellCount) used_.clear();
    for (;;) {
        int sx = 1;
        int sy = 1;
        if (oneIn(2)) sx = -1;
        if (oneIn(2)) sy = -1;
        if (oneIn(2)) position_.x += kStep * sx;
        if (oneIn(2)) position_.y += kStep * sy;
        if (!onScreen(position_)) {
            position_ = kStart;
            continue;
        }
        if (used_.insert(position_.x * 1000 + position_.y).second) return;
    }
}

#pragma once

#include "figures/branch.h"

#include <memory>
#include <vector>

class Renderer;

// The branch field: ten roots in play at a time, taken in turn from a pool
// of 1000 made at start-up. Branch events set them moving, then make them
// burst; from the stage on, every root in play bursts at once.
class BranchGrowth {
public:
    static constexpr int kPoolSize = 1000;
    static constexpr int kInPlay = 10;

    // Draws all 1000 roots with their children, then puts the first ten in
    // play.
    BranchGrowth();
    BranchGrowth(const BranchGrowth&) = delete;
    BranchGrowth& operator=(const BranchGrowth&) = delete;

    // The next unused root of the pool; null once all are used.
    Branch* nextRoot();
    // One branch event: activates, or before the stage starts, at most two
    // roots in play, in order.
    void grow();
    // Once per frame, after the figures: bursts every root from the stage
    // on, replaces finished roots while the pool lasts and draws the field.
    void update(Renderer& renderer);

    const std::vector<Branch*>& inPlay() const { return active_; }
    Branch& pooled(int i) const { return *pool_[i]; }

private:
    std::vector<Branch*> active_;
    std::vector<std::unique_ptr<Branch>> pool_;
    int cursor_ = 0;
};

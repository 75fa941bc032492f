#include "figures/branch_growth.h"

#include "figures/main_envelopes.h"
#include "figures/random.h"

namespace {

bool stageReached() { return MainEnvelopes::instance().stageReached(); }

}  // namespace

BranchGrowth::BranchGrowth() {
    pool_.reserve(kPoolSize);
    for (int i = 0; i < kPoolSize; ++i) {
        // Anywhere around the screen, heading for its middle; the draws go
        // in this order.
        float y0 = static_cast<float>(nextRandom() % 600 - 100);
        float x0 = static_cast<float>(nextRandom() % 800 - 100);
        float y1 = static_cast<float>(nextRandom() % 201 + 140);
        float x1 = static_cast<float>(nextRandom() % 201 + 220);
        pool_.push_back(std::make_unique<Branch>(Vec2{x0, y0}, Vec2{x1, y1}, true));
    }
    for (int i = 0; i < kInPlay; ++i) active_.push_back(nextRoot());
}

Branch* BranchGrowth::nextRoot() {
    if (cursor_ >= kPoolSize) return nullptr;
    return pool_[cursor_++].get();
}

void BranchGrowth::grow() {
    int changed = 0;
    for (Branch* root : active_) {
        if (!root->isActive() && !stageReached()) {
            root->activate();
            ++changed;
        } else if (!root->isStarted()) {
            root->start();
            ++changed;
        }
        if (changed >= 2) return;
    }
}

void BranchGrowth::update(Renderer& renderer) {
    if (stageReached()) {
        for (Branch* root : active_) {
            if (!root->isStarted()) root->start();
            root->draw(renderer);
        }
    }
    for (Branch*& root : active_) {
        if (root->isFinished()) {
            // With the pool used up, a finished root stays in play.
            if (Branch* next = nextRoot()) root = next;
        }
        root->draw(renderer);
    }
}

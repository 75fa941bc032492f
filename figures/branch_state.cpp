#include "figures/branch_state.h"

#include "figures/branch_growth.h"
#include "figures/main_envelopes.h"
#include "figures/random.h"
#include "figures/random_picker.h"
#include "framework/clock/timer.h"

#include <algorithm>
#include <set>

namespace {

constexpr int kRounds = 100;
// Before this scene time code 16 is ignored.
constexpr int kChanceCodeFrom = 11000;
// From this scene time on every answered event may bring a code-16 event,
// likelier as the show goes on, ...
constexpr int kChainFrom = 20000;
// ... reaching one in two here.
constexpr float kChainFull = 120000.0f;

// The two codes that start several figures at once, and how many at most
// (exclusive).
constexpr int kSwarmCode = 15;
constexpr float kSwarmMax = 15.0f;
constexpr int kPairCode = 2;
constexpr float kPairMax = 5.0f;

int now() { return Timer::instance().getTime(); }

}  // namespace

BranchState::BranchState(BranchGrowth& growth) : growth_(growth) {}

void BranchState::addPicker(int code, RandomPicker* picker) { pickers_.emplace(code, picker); }

RandomPicker* BranchState::pickerFor(int code) const {
    auto found = pickers_.find(code);
    return found == pickers_.end() ? nullptr : found->second;
}

void BranchState::buildRing() {
    ringIndex_ = 0;
    ring_.clear();
    RandomPicker* runs = pickerFor(kRunCode);
    if (!runs || runs->count() == 0) return;
    int c = runs->count();
    for (int r = 0; r < kRounds; ++r) {
        std::set<int> seen;
        int n = static_cast<int>(randomRange(0.0f, static_cast<float>(r / 5)));
        // A repeated index is dropped, not drawn again.
        for (int k = 0; k < n; ++k) {
            int i = nextRandom() % c;
            if (seen.insert(i).second) ring_.push_back(i);
        }
        ring_.push_back(kEndOfRun);
        // The same figures in order, each swapped by chance for another.
        int steps = 0;
        for (auto it = seen.begin(); it != seen.end() && steps < n; ++it, ++steps) {
            ring_.push_back(nextRandom() % 2 == 0 ? *it : nextRandom() % c);
        }
        ring_.push_back(kEndOfRun);
    }
}

void BranchState::onEvent(int code) {
    // A code-16 event that follows by chance is answered here in turn, in
    // the same order of draws as if it were answered from inside.
    while (answer(code)) {
        if (now() < kChainFrom) return;
        float p = std::clamp(static_cast<float>(now()) / kChainFull, 0.0f, 1.0f);
        if (!oneIn((1.0f - p) * 6.0f + 2.0f)) return;
        code = kChanceCode;
    }
}

bool BranchState::answer(int code) {
    if (code == kChanceCode && now() < kChanceCodeFrom) return false;
    if (MainEnvelopes::instance().stageReached() && code != kChanceCode && code != kRunCode) return true;
    RandomPicker* picker = pickerFor(code);
    if (!picker && code != kGrowCode) return false;
    if (code == kRunCode || code == kGrowCode) {
        playNextRun();
        if (code == kGrowCode) growth_.grow();
    } else if (code == kSwarmCode) {
        picker->pickMany(static_cast<int>(randomRange(1.0f, kSwarmMax)));
    } else if (code == kPairCode) {
        picker->pickMany(static_cast<int>(randomRange(1.0f, kPairMax)));
    } else {
        picker->pick();
    }
    return true;
}

void BranchState::playNextRun() {
    RandomPicker* runs = pickerFor(kRunCode);
    if (!runs || ring_.empty()) return;
    int size = static_cast<int>(ring_.size());
    while (ring_[ringIndex_] != kEndOfRun) {
        runs->triggerAt(ring_[ringIndex_]);
        ringIndex_ = (ringIndex_ + 1) % size;
    }
    ringIndex_ = (ringIndex_ + 1) % size;
}

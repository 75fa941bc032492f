#pragma once

#include <map>
#include <vector>

class BranchGrowth;
class RandomPicker;

// Turns branch events into figure starts. An event is a group code: it
// starts random pre-built figures of that group, plays the next precomputed
// run of group-4 figures (codes 4 and 5), grows the branch field (code 5)
// and, after the first 20 s, may follow itself with a code-16 event. From
// the stage on only codes 4 and 16 still start figures.
class BranchState {
public:
    static constexpr int kRunCode = 4;
    static constexpr int kGrowCode = 5;
    static constexpr int kChanceCode = 16;
    // Closes each run of the ring.
    static constexpr int kEndOfRun = -1;

    // The field is not owned and must outlive the state.
    explicit BranchState(BranchGrowth& growth);
    BranchState(const BranchState&) = delete;
    BranchState& operator=(const BranchState&) = delete;

    // The picker is not owned; a code already present keeps its first one.
    void addPicker(int code, RandomPicker* picker);
    // Draws the 200 runs of group-4 figures, 2 per round of 100, the later
    // ones longer. Without a group-4 picker there are none.
    void buildRing();
    void onEvent(int code);

    // Group-4 picker indices in runs, each run closed by kEndOfRun.
    const std::vector<int>& ring() const { return ring_; }
    int ringIndex() const { return ringIndex_; }

private:
    // The answer to one event, with the chance of a code-16 event after it;
    // false when the event is not answered at all.
    bool answer(int code);
    void playNextRun();
    RandomPicker* pickerFor(int code) const;

    std::map<int, RandomPicker*> pickers_;
    std::vector<int> ring_;
    int ringIndex_ = 0;
    BranchGrowth& growth_;
};

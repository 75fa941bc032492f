#include "figures/branch_events.h"
#include "figures/branch_growth.h"
#include "figures/branch_state.h"
#include "figures/random.h"
#include "figures/random_picker.h"
#include "framework/triggers/triggerable.h"
#include "tests/figures/draw_count.h"
#include "tests/figures/stage_clock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <vector>

namespace {

class CountingEntry : public Triggerable {
public:
    using Triggerable::trigger;
    void trigger(int) override { ++times; }
    int times = 0;
};

// A picker over entries that count their triggers.
class CountingGroup {
public:
    explicit CountingGroup(int size) : entries_(size) {
        for (CountingEntry& entry : entries_) picker.add(&entry, 0);
    }
    int triggered() const {
        return std::accumulate(entries_.begin(), entries_.end(), 0,
                               [](int sum, const CountingEntry& e) { return sum + e.times; });
    }

    RandomPicker picker;

private:
    std::vector<CountingEntry> entries_;
};

class BranchStateTest : public StageClockTest {
protected:
    void SetUp() override {
        StageClockTest::SetUp();
        seedRandom(3);
        growth = std::make_unique<BranchGrowth>();
        state = std::make_unique<BranchState>(*growth);
        for (auto& [code, group] : groups) state->addPicker(code, &group.picker);
        state->buildRing();
    }

    int triggered(int code) const {
        for (const auto& [c, group] : groups) {
            if (c == code) return group.triggered();
        }
        return 0;
    }
    // The draws of the first event that the state takes from here on.
    void drawFrom(uint32_t seed) { seedRandom(seed); }

    std::vector<std::pair<int, CountingGroup>> groups = [] {
        std::vector<std::pair<int, CountingGroup>> made;
        for (auto [code, size] : {std::pair{2, 10}, {3, 5}, {4, 100}, {15, 30}, {16, 10}}) made.emplace_back(code, size);
        return made;
    }();
    std::unique_ptr<BranchGrowth> growth;
    std::unique_ptr<BranchState> state;
};

// How many code-16 events follow an answered event that took `taken`
// draws from seed, at a chance of 1 in n: each takes its chance draw and,
// taken, one pick draw.
int chainAfter(uint32_t seed, int taken, float n) {
    seedRandom(seed);
    for (int i = 0; i < taken; ++i) nextRandom();
    int events = 0;
    while (oneIn(n)) {
        ++events;
        nextRandom();
    }
    return events;
}

}  // namespace

TEST_F(BranchStateTest, RingHoldsTwoHundredRunsTheFirstTwentyEmpty) {
    const std::vector<int>& ring = state->ring();
    EXPECT_EQ(std::count(ring.begin(), ring.end(), BranchState::kEndOfRun), 200);
    ASSERT_GE(ring.size(), 20u);
    EXPECT_TRUE(std::all_of(ring.begin(), ring.begin() + 20, [](int i) { return i == BranchState::kEndOfRun; }));
    EXPECT_TRUE(std::all_of(ring.begin(), ring.end(), [](int i) { return i >= -1 && i < 100; }));
    // Each round is a run of distinct figures and a run as long of the same
    // figures, some swapped for others.
    std::vector<int> lengths(1, 0);
    for (int i : ring) {
        if (i == BranchState::kEndOfRun) {
            lengths.push_back(0);
        } else {
            ++lengths.back();
        }
    }
    for (std::size_t run = 0; run + 1 < 200; run += 2) EXPECT_EQ(lengths[run], lengths[run + 1]) << run;
    EXPECT_GT(*std::max_element(lengths.begin(), lengths.end()), 10);

    // Codes 4 and 5 play one run each and wrap after the last; code 5 also
    // grows the field.
    setSceneTime(15000);
    for (int event = 0; event < 20; ++event) state->onEvent(event % 2 == 0 ? 5 : 4);
    EXPECT_EQ(state->ringIndex(), 20);
    EXPECT_EQ(triggered(4), 0);
    EXPECT_TRUE(growth->inPlay()[9]->isStarted()) << "ten code-5 events start all ten roots";
    for (int event = 20; event < 200; ++event) state->onEvent(4);
    EXPECT_EQ(state->ringIndex(), 0);
    EXPECT_EQ(triggered(4), static_cast<int>(ring.size()) - 200);
}

TEST_F(BranchStateTest, CodesAreAnsweredByTimeAndStage) {
    setSceneTime(10999);
    drawFrom(5);
    state->onEvent(16);
    EXPECT_EQ(triggered(16), 0);
    EXPECT_EQ(drawsSince(5), 0);
    setSceneTime(11000);
    drawFrom(5);
    state->onEvent(16);
    EXPECT_EQ(triggered(16), 1);
    EXPECT_EQ(drawsSince(5), 1) << "one pick, and no chance before 20000 ms";

    setSceneTime(19999);
    drawFrom(5);
    state->onEvent(3);
    EXPECT_EQ(triggered(3), 1);
    EXPECT_EQ(drawsSince(5), 1);
    state->onEvent(2);
    int pair = triggered(2);
    EXPECT_TRUE(pair >= 1 && pair <= 4) << pair;

    setSceneTime(60000);
    drawFrom(5);
    state->onEvent(9);
    EXPECT_EQ(drawsSince(5), 0) << "a code without figures is not answered at all";

    // At 120000 ms and later each answered event is followed by a code-16
    // event one time in two, and so on: a seed with a chain of two or more.
    setSceneTime(150000);
    uint32_t seed = 1;
    while (chainAfter(seed, 1, 2.0f) < 2) ++seed;
    int before16 = triggered(16);
    int before3 = triggered(3);
    drawFrom(seed);
    state->onEvent(3);
    EXPECT_EQ(triggered(3), before3 + 1);
    EXPECT_EQ(triggered(16), before16 + chainAfter(seed, 1, 2.0f));

    // From the stage on only codes 4 and 16 start figures; the others keep
    // their chance of a code-16 event, and code 5 no longer grows the field.
    setSceneTime(205001);
    int ringAt = state->ringIndex();
    before16 = triggered(16);
    before3 = triggered(3);
    drawFrom(seed);
    state->onEvent(3);
    EXPECT_EQ(triggered(3), before3);
    EXPECT_EQ(triggered(16), before16 + chainAfter(seed, 0, 2.0f));
    drawFrom(seed);
    state->onEvent(5);
    EXPECT_EQ(state->ringIndex(), ringAt);
    EXPECT_FALSE(growth->inPlay()[0]->isActive());
}

TEST_F(BranchStateTest, ListenersAndTheFigureEventReachTheState) {
    setSceneTime(12000);
    BranchListener listener(3, *state);
    listener.onSelect(67);
    listener.onStart(67);
    EXPECT_EQ(triggered(3), 0);
    listener.onNote(70, 99, 63);
    EXPECT_EQ(triggered(3), 1);

    BranchEventTrigger figureEvent(*state);
    figureEvent.trigger();
    figureEvent.trigger(42);
    EXPECT_EQ(triggered(16), 2);

    // Without figures of group 4 there are no runs: code 4 is not answered
    // and code 5 only grows the field.
    BranchState bare(*growth);
    bare.buildRing();
    EXPECT_TRUE(bare.ring().empty());
    bare.onEvent(4);
    bare.onEvent(5);
    EXPECT_TRUE(growth->inPlay()[0]->isActive());
}

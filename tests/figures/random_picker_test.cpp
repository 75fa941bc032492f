#include "figures/random.h"
#include "figures/random_picker.h"
#include "tests/figures/draw_count.h"
#include "tests/figures/scene_clock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <vector>

namespace {

struct Counter : Triggerable {
    using Triggerable::trigger;
    void trigger(int) override { ++count; }
    int count = 0;
};

class RandomPickerTest : public SceneClockTest {
protected:
    // n entries of each id, in order.
    void fill(std::initializer_list<std::pair<int, int>> ids) {
        for (auto [id, n] : ids) {
            for (int i = 0; i < n; ++i) {
                entries.emplace_back();
                picker.add(&entries.back(), id);
                idOf.push_back(id);
            }
        }
        seen.assign(entries.size(), 0);
    }
    // The id of the one entry triggered since the last call.
    int picked() {
        int id = -1;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].count > seen[i]) {
                EXPECT_EQ(id, -1) << "more than one entry triggered";
                id = idOf[i];
            }
        }
        for (std::size_t i = 0; i < entries.size(); ++i) seen[i] = entries[i].count;
        return id;
    }
    int total() const {
        int sum = 0;
        for (const Counter& c : entries) sum += c.count;
        return sum;
    }

    RandomPicker picker;
    std::deque<Counter> entries;
    std::vector<int> idOf;
    std::vector<int> seen;
};

TEST_F(RandomPickerTest, RareFiguresComeFirstAndThenAtMostOncePerHold) {
    fill({{100, 30}, {500, 30}, {1000, 30}});
    seedRandom(2);
    setSceneTime(1000);
    EXPECT_EQ(picked(), -1);
    picker.pick();
    EXPECT_EQ(picked(), 100) << "the first pick is always rare";
    for (int i = 0; i < 50; ++i) {
        picker.pick();
        EXPECT_NE(picked(), 100);
    }
    // 45000 ms after the rare pick it is still held; 1 ms later it is not.
    setSceneTime(46000);
    for (int i = 0; i < 200; ++i) {
        picker.pick();
        ASSERT_NE(picked(), 100);
    }
    setSceneTime(46001);
    int rare = 0;
    for (int i = 0; i < 200; ++i) {
        picker.pick();
        rare += picked() == 100;
    }
    EXPECT_EQ(rare, 1) << "accepted once, which starts the next hold";
}

TEST_F(RandomPickerTest, NothingToOfferSkipsTheTrigger) {
    seedRandom(3);
    picker.pick();
    picker.pickMany(4);
    picker.triggerAt(0);
    EXPECT_EQ(drawsSince(3), 0) << "an empty picker neither draws nor triggers";

    fill({{100, 2}});
    picker.pick();
    EXPECT_EQ(total(), 1);
    setSceneTime(30000);
    seedRandom(3);
    picker.pick();
    EXPECT_EQ(total(), 1) << "only rare entries, all held";
    EXPECT_EQ(drawsSince(3), 0);

    seedRandom(3);
    picker.triggerAt(2);
    picker.triggerAt(-1);
    EXPECT_EQ(total(), 1) << "out of range";
    EXPECT_EQ(drawsSince(3), 0);
}

TEST_F(RandomPickerTest, PlainPickersAcceptTheirFirstDraw) {
    fill({{200, 10}});
    seedRandom(4);
    int expected = static_cast<int>(randomRange(0, 10));
    seedRandom(4);
    picker.pick();
    EXPECT_EQ(entries[expected].count, 1);
    EXPECT_EQ(drawsSince(4), 1);

    // triggerAt: entry i exactly once, after one unused draw.
    seedRandom(4);
    picker.triggerAt(7);
    EXPECT_EQ(entries[7].count, 1);
    EXPECT_EQ(drawsSince(4), 1);
}

TEST_F(RandomPickerTest, PickManyTriggersOncePerFreshFirstDraw) {
    fill({{200, 5}});
    seedRandom(6);
    picker.pickMany(0);
    EXPECT_EQ(drawsSince(6), 0);

    // Each of the n rounds draws a slot; a slot new to the call triggers
    // the entry of one more draw.
    for (int n : {1, 3, 12}) {
        int before = total();
        seedRandom(100 + n);
        picker.pickMany(n);
        int triggered = total() - before;
        EXPECT_GE(triggered, 1);
        EXPECT_LE(triggered, std::min(n, 5));
        EXPECT_EQ(drawsSince(100 + n), n + triggered);
    }
}

}  // namespace

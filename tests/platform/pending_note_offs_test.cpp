#include "platform/pending_note_offs.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

namespace {

using host::PendingNoteOffs;
using std::chrono::microseconds;
using std::chrono::milliseconds;

std::vector<uint32_t> takeAllDue(PendingNoteOffs& pending, PendingNoteOffs::Clock::time_point now) {
    std::vector<uint32_t> taken;
    while (std::optional<uint32_t> message = pending.takeDue(now)) taken.push_back(*message);
    return taken;
}

}  // namespace

TEST(PendingNoteOffs, EachGoesWhenItsTimeHasCome) {
    const PendingNoteOffs::Clock::time_point start{};
    PendingNoteOffs pending;
    EXPECT_EQ(pending.millisecondsToNext(start), -1) << "nothing to wait for";
    EXPECT_FALSE(pending.add(start + milliseconds(30), 3).has_value());
    EXPECT_FALSE(pending.add(start + milliseconds(10), 1).has_value());
    EXPECT_FALSE(pending.add(start + milliseconds(30), 4).has_value());
    EXPECT_FALSE(pending.add(start + microseconds(10500), 2).has_value());

    EXPECT_EQ(pending.millisecondsToNext(start), 10);
    EXPECT_EQ(pending.millisecondsToNext(start + microseconds(9001)), 1) << "rounded up, never early";
    EXPECT_TRUE(takeAllDue(pending, start + microseconds(9999)).empty());
    EXPECT_EQ(takeAllDue(pending, start + milliseconds(10)), std::vector<uint32_t>{1});
    EXPECT_EQ(pending.millisecondsToNext(start + milliseconds(11)), 0) << "one is overdue";
    EXPECT_EQ(takeAllDue(pending, start + milliseconds(40)), (std::vector<uint32_t>{2, 3, 4}));
    EXPECT_EQ(pending.millisecondsToNext(start + milliseconds(40)), -1);
}

TEST(PendingNoteOffs, AFloodMakesTheSoonestGoAtOnce) {
    const PendingNoteOffs::Clock::time_point start{};
    PendingNoteOffs pending;
    for (uint32_t i = 0; i < PendingNoteOffs::kCapacity; ++i) {
        ASSERT_FALSE(pending.add(start + milliseconds(1000 - i % 500), i).has_value());
    }
    // 499 and 999 wait the least; 499 came first.
    EXPECT_EQ(pending.add(start + milliseconds(5000), 7777), 499u);
    EXPECT_EQ(pending.add(start + milliseconds(5000), 8888), 999u);
    EXPECT_EQ(takeAllDue(pending, start + std::chrono::hours(1)).size(), PendingNoteOffs::kCapacity);
}

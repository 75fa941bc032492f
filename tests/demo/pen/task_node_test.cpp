#include "demo/pen/node_ring.h"
#include "demo/pen/tank.h"
#include "figures/random.h"
#include "tests/fake_clock.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace {

NodeRing& ring() {
    static NodeRing shared;
    return shared;
}

PointNode* cornerOn(MoverTask* anchor) {
    PointNode* corner = ring().takePoint();
    corner->setMover(anchor);
    return corner;
}

LineNode* lineBetween(PointNode* from, PointNode* to) {
    LineNode* line = ring().takeLine();
    line->connect(from, to);
    return line;
}

using MoverTaskTest = FakeClockTest;

}  // namespace

TEST(TaskNodes, DroppedLinesReleaseTheirCornersAndFinishedAnchorsFinishAllOnThem) {
    MoverTask* a = ring().takeMover();
    MoverTask* b = ring().takeMover();
    PointNode* p0 = cornerOn(a);
    PointNode* p1 = cornerOn(a);
    PointNode* p2 = cornerOn(b);
    PointNode* p3 = cornerOn(b);
    Tank<PointNode> points;
    for (PointNode* p : {p0, p1, p2, p3}) points.add(p);
    Tank<LineNode> lines;
    lines.setLimit(1);
    LineNode* l0 = lineBetween(p0, p1);
    LineNode* l1 = lineBetween(p1, p2);
    LineNode* l2 = lineBetween(p2, p3);
    lines.add(l0);
    lines.add(l1);
    EXPECT_EQ(lines.count(), 2) << "at its limit a tank takes one more";
    EXPECT_EQ(p1->pendingCount(), 2);
    EXPECT_EQ(a->pendingCount(), 2);

    lines.add(l2);
    ASSERT_EQ(lines.count(), 2);
    EXPECT_EQ(lines.front(), l1);
    EXPECT_TRUE(l0->isFinished());
    EXPECT_TRUE(p0->isFinished()) << "held by no other line";
    EXPECT_FALSE(p1->isFinished()) << "still held by l1";
    EXPECT_EQ(a->pendingCount(), 1);
    EXPECT_FALSE(a->isFinished());
    points.removeFinished();
    EXPECT_EQ(points.nodes(), (std::vector<PointNode*>{p1, p2, p3}));

    b->run();
    EXPECT_TRUE(p2->isFinished());
    EXPECT_TRUE(p3->isFinished());
    EXPECT_TRUE(l1->isFinished()) << "touches p2";
    EXPECT_TRUE(l2->isFinished());
    EXPECT_FALSE(p1->isFinished());
    lines.removeFinished();
    EXPECT_EQ(lines.count(), 0);

    MoverTask* kept = ring().takeMover();
    kept->markStarted();
    PointNode* onKept = cornerOn(kept);
    EXPECT_EQ(kept->pendingCount(), 0) << "nothing holds a started node";
    onKept->run();
    kept->run();
    EXPECT_FALSE(kept->isFinished());
}

TEST(Tank, EvictsOnlyOverItsLimitTrimsToOneAndNeverRunsPastItsEnd) {
    Tank<LineNode> lines;
    lines.setLimit(2);
    std::vector<LineNode*> made;
    for (int i = 0; i < 4; ++i) made.push_back(ring().takeLine());
    for (int i = 0; i < 3; ++i) lines.add(made[static_cast<std::size_t>(i)]);
    EXPECT_EQ(lines.count(), 3);
    lines.add(made[3]);
    EXPECT_EQ(lines.nodes(), (std::vector<LineNode*>{made[1], made[2], made[3]}));

    made[2]->run();
    lines.removeFinished();
    EXPECT_EQ(lines.nodes(), (std::vector<LineNode*>{made[1], made[3]})) << "the rest keep their order";
    EXPECT_EQ(lines.trim(), 1);
    EXPECT_EQ(lines.front(), made[1]);
    EXPECT_TRUE(made[3]->isFinished());
    EXPECT_EQ(lines.trim(), 1);
    Tank<LineNode> none;
    EXPECT_EQ(none.trim(), 0);

    Tank<MoverTask> started;
    started.setLimit(0);
    for (int i = 0; i < 3; ++i) {
        MoverTask* m = ring().takeMover();
        m->markStarted();
        started.add(m);
    }
    EXPECT_EQ(started.count(), 3) << "nothing to evict, nothing lost";
    EXPECT_EQ(started.trim(), 3);
}

TEST(NodeRing, HandsOutResetNumberedNodesRoundAndRound) {
    NodeRing fresh;
    LineNode* first = fresh.takeLine();
    PointNode* corner = fresh.takePoint();
    first->connect(corner, fresh.takePoint());
    first->run();
    const int firstId = first->id();
    for (int i = 1; i < NodeRing::kLines; ++i) EXPECT_NE(fresh.takeLine(), first);
    LineNode* again = fresh.takeLine();
    EXPECT_EQ(again, first);
    EXPECT_FALSE(again->isFinished());
    EXPECT_EQ(again->childCount(), 0);
    EXPECT_GT(again->id(), firstId);

    MoverTask* mover = fresh.takeMover();
    for (int i = 1; i < NodeRing::kMovers; ++i) fresh.takeMover();
    EXPECT_EQ(fresh.takeMover(), mover) << "after the out-of-nodes box";
}

TEST(NodeRing, MakesASegmentWhenFirstHandedOutWithTheNumbersItsPlaceDrewAtStartUp) {
    // Every segment made at once, in order: the numbers the ring's segments
    // must have, and where the generator must stand after the ring is made.
    seedRandom(7);
    std::vector<std::pair<float, float>> eager;
    for (int i = 0; i < NodeRing::kLines; ++i) {
        LineNode made(sharedRandom());
        eager.emplace_back(made.randomA(), made.randomB());
    }
    const uint32_t afterAll = sharedRandom().state();

    seedRandom(7);
    NodeRing ring;
    EXPECT_EQ(sharedRandom().state(), afterAll) << "every segment's numbers are drawn at start-up";
    constexpr int kTaken = 100;
    std::vector<LineNode*> taken;
    for (int i = 0; i < kTaken; ++i) taken.push_back(ring.takeLine());
    EXPECT_EQ(sharedRandom().state(), afterAll) << "making a segment later moves the program's generator no further";
    for (int i = 0; i < kTaken; ++i) {
        ASSERT_EQ(taken[i]->randomA(), eager[i].first) << i;
        ASSERT_EQ(taken[i]->randomB(), eager[i].second) << i;
        ASSERT_EQ(taken[i]->id(), taken[0]->id() + i) << "numbered in the order handed out";
    }

    // The segments lie one after the other; the pages past those handed out
    // have never been touched.
    const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const uintptr_t begin = reinterpret_cast<uintptr_t>(taken[0]) & ~(page - 1);
    const uintptr_t end = reinterpret_cast<uintptr_t>(taken[0] + NodeRing::kLines);
    std::vector<unsigned char> resident((end - begin + page - 1) / page);
    ASSERT_EQ(mincore(reinterpret_cast<void*>(begin), end - begin, resident.data()), 0);
    std::size_t residentPages = 0;
    for (unsigned char flags : resident) residentPages += flags & 1u;
    const uintptr_t usedEnd = reinterpret_cast<uintptr_t>(taken[0] + kTaken);
    EXPECT_GT(residentPages, 0u);
    EXPECT_LE(residentPages, (usedEnd - begin + page - 1) / page) << "of " << resident.size() << " pages";
}

TEST_F(MoverTaskTest, FliesTowardItsTargetPullsOthersInAndStaysInItsBox) {
    setSceneTime(1000);
    MoverTask* flier = ring().takeMover();
    flier->setTarget({600.0f, 0.0f}, 0.0f, 2.0f, 2.0f);
    MoverTask* main = ring().takeMover();
    main->setPosition({0.0f, 0.0f});
    main->setRadius(10.0f);
    MoverTask* near = ring().takeMover();
    near->setPosition({5.0f, 0.0f});
    MoverTask* far = ring().takeMover();
    far->setPosition({100.0f, 0.0f});

    setSceneTime(1015);
    ASSERT_EQ(Timer::instance().getDeltaFrames(), 1);
    flier->tick();
    EXPECT_FLOAT_EQ(flier->position().x, 2.0f);
    EXPECT_FLOAT_EQ(flier->position().y, 0.0f);
    flier->tick();
    EXPECT_FLOAT_EQ(flier->position().x, 4.0f) << "keeps its speed until it re-aims";

    main->setPull(3.0f);
    main->follow(*near);
    main->follow(*far);
    EXPECT_FLOAT_EQ(near->position().x, 5.0f) << "inside the radius";
    EXPECT_FLOAT_EQ(far->position().x, 100.0f - 2.9f) << "slowed by the anchor inside";

    MoverTask* pinned = ring().takeMover();
    pinned->setPosition({300.0f, 300.0f});
    pinned->setJitter(50.0f);
    pinned->setRect(10.0f, 20.0f, 10.0f, 20.0f);
    pinned->tick();
    EXPECT_FLOAT_EQ(pinned->position().x, 10.0f);
    EXPECT_FLOAT_EQ(pinned->position().y, 20.0f);
}

#include "demo/pen/figure_actor.h"
#include "demo/pen/vertex_list.h"
#include "engine/core/exception.h"
#include "figures/random.h"
#include "tests/fake_clock.h"
#include "tests/temp_folder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

namespace {

constexpr const char* kSquare =
    "numVertices=4\nx=10.0,y=0.0,z=0.0\nx=0.0,y=20.0,z=0.0\nx=-30.0,y=0.0,z=5.0\nx=0.0,y=-40.0,z=0.0\n";

float lengthOf(Vec3 v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

class FigureActorTest : public FakeClockTest {
protected:
    void SetUp() override {
        FakeClockTest::SetUp();
        folder.write("data/square.txt", kSquare);
        list.load("data/square.txt");
    }

    TempFolder folder;
    WorkingDirectory cwd{folder.path()};
    VertexList list;
};

// Parses text from a buffer of exactly its size, so that a read past its
// end is caught.
std::vector<Vec3> parseExact(const std::string& text) {
    std::vector<char> bytes(text.begin(), text.end());
    return parseVertexFile(bytes.data(), bytes.size(), "test.txt");
}

}  // namespace

TEST_F(FigureActorTest, GrowAddsABurstOfSegmentsAlongTheListAndTumblesTheFigure) {
    FigureActor actor(list);
    EXPECT_EQ(actor.lastPoint(), nullptr);
    EXPECT_EQ(actor.firstPoint(), nullptr);
    PointNode* start = actor.pointTank().front();

    actor.setSegmentBurst(1);
    seedRandom(5);
    actor.grow();
    const int afterOneBurst = nextRandom();
    seedRandom(5);
    for (int i = 0; i < 4; ++i) nextRandom();
    EXPECT_EQ(nextRandom(), afterOneBurst) << "the burst and three angles";
    EXPECT_EQ(actor.lineTank().count(), 0);

    actor.setRotationAxes(false, false, false);
    seedRandom(5);
    actor.grow();
    const int unturned = nextRandom();
    seedRandom(5);
    nextRandom();
    EXPECT_EQ(nextRandom(), unturned) << "no angle drawn for axes that are off";

    actor.setRotationAxes(true, true, true);
    actor.setSegmentBurst(50);
    seedRandom(9);
    const int segments = nextRandom() % 50;
    ASSERT_GE(segments, 2);
    seedRandom(9);
    actor.grow();
    ASSERT_EQ(actor.lineTank().count(), segments);
    ASSERT_EQ(actor.pointTank().count(), segments + 1);
    EXPECT_EQ(actor.firstPoint(), start);
    EXPECT_EQ(actor.lastPoint(), actor.pointTank().back());
    const float sizes[] = {10.0f, 20.0f, std::sqrt(925.0f), 40.0f};
    for (int i = 0; i < segments; ++i) {
        EXPECT_EQ(actor.lineTank().get(i)->from(), actor.pointTank().get(i));
        EXPECT_EQ(actor.lineTank().get(i)->to(), actor.pointTank().get(i + 1));
        EXPECT_NEAR(lengthOf(actor.pointTank().get(i + 1)->local()), sizes[i % 4], 1e-3f) << "turned, not stretched";
    }

    PointNode* corner = actor.pointTank().get(1);
    corner->setLocal({10.0f, 0.0f, 0.0f});
    actor.rotate(0.0f, 0.0f, std::acos(-1.0f) / 2);
    EXPECT_NEAR(corner->local().x, 0.0f, 1e-5f);
    EXPECT_NEAR(corner->local().y, 10.0f, 1e-5f);

    list.next();
    actor.clear();
    EXPECT_EQ(actor.lineTank().count(), 1);
    EXPECT_FLOAT_EQ(list.next().x, 10.0f) << "the list starts over";
    actor.update();
    EXPECT_EQ(actor.pointTank().count(), 2) << "the corners of the dropped segments leave";
}

TEST_F(FigureActorTest, CornersHangOnThePathsAnchorsAndVanishWithThem) {
    FigureActor still(list);
    still.setSubValue(0);
    still.advancePath();
    still.advancePath();
    seedRandom(2);
    for (int i = 0; i < 5; ++i) still.grow();
    for (PointNode* p : still.pointTank().nodes()) EXPECT_EQ(p->child(0), &still.path().mainAnchor());
    for (LineNode* l : still.lineTank().nodes()) EXPECT_FALSE(l->hasLength());

    FigureActor actor(list);
    actor.setTankLimits(100, 100, 0);
    actor.setSubValue(1);
    actor.advancePath();
    MoverTask* oldest = actor.path().anchors().front();
    int onOldest = 0;
    for (int i = 0; i < 10 && onOldest == 0; ++i) {
        actor.grow();
        for (PointNode* p : actor.pointTank().nodes()) onOldest += p->child(0) == oldest;
    }
    ASSERT_GT(onOldest, 0);
    actor.advancePath();
    EXPECT_EQ(actor.path().anchors().count(), 1);
    EXPECT_NE(actor.path().anchors().front(), oldest);
    actor.update();
    std::set<PointNode*> left(actor.pointTank().nodes().begin(), actor.pointTank().nodes().end());
    for (PointNode* p : left) EXPECT_NE(p->child(0), oldest);
    for (LineNode* l : actor.lineTank().nodes()) {
        EXPECT_TRUE(left.count(l->from()) && left.count(l->to())) << "no segment keeps a lost corner";
    }

    actor.setOrigin(100.0f, 200.0f);
    actor.update();
    const Vec2 pen = actor.path().position();
    EXPECT_FLOAT_EQ(actor.position().x, pen.x + 100.0f);
    EXPECT_FLOAT_EQ(actor.position().y, pen.y + 200.0f);
    const PointNode* p = actor.pointTank().back();
    EXPECT_FLOAT_EQ(p->position().x, p->local().x + p->anchorPosition().x + 100.0f);
    EXPECT_FLOAT_EQ(p->position().z, p->local().z);
}

TEST_F(FigureActorTest, VertexListAppendsFilesAndHandsThemOutInACircle) {
    folder.write("data/one.txt", "numVertices=1\nx=7,y=8,z=9");
    folder.write("data/headless.txt", "vertices=1\nx=1,y=1,z=1\n");
    for (int i = 0; i < 4; ++i) list.load("data/one.txt");
    list.load("data/headless.txt");
    ASSERT_EQ(list.count(), 8);
    EXPECT_FLOAT_EQ(list.next().x, 10.0f) << "loading starts the list over";
    for (int i = 1; i < 4; ++i) list.next();
    for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(list.next().z, 9.0f);
    EXPECT_FLOAT_EQ(list.next().x, 10.0f) << "round again";
    list.next();
    list.reset();
    EXPECT_FLOAT_EQ(list.next().x, 10.0f);

    VertexList empty;
    EXPECT_FLOAT_EQ(empty.next().x, 0.0f);
    EXPECT_THROW(empty.load("data/missing.txt"), zentac::Exception);
}

TEST(VertexFile, MalformedTextIsRefusedWithoutReadingPastItsEnd) {
    EXPECT_EQ(parseExact("numVertices=2\nx=1,y=2,z=3\nx=-1.5,y=0,z=1e2\n").size(), 2u);
    EXPECT_TRUE(parseExact("").empty());
    EXPECT_TRUE(parseExact("numVertices=").empty());
    EXPECT_TRUE(parseExact("numVertices=0\n").empty());
    using namespace std::string_literals;
    for (const std::string& bad : {"numVertices=3\nx=1,y=2,z=3\nx=1,y=2,z=3\n"s, "numVertices=-1\n"s,
                                   "numVertices=2000000000\nx=1,y=2,z=3\n"s, "numVertices=1\nx=1,y=2\n"s,
                                   "numVertices=1\nx=1, y=2, z=3\n"s, "numVertices=1\nx=nan,y=2,z=3\n"s,
                                   "numVertices=2\nx=1,y=2,z=3\n\0x=1,y=2,z=3\n"s, "numVertices=1\nx=1,y=2,z="s}) {
        EXPECT_THROW(parseExact(bad), zentac::Exception) << bad;
    }

    const std::string good = kSquare;
    const char alphabet[] = "0123456789-+.,=xyzn\n\0 e";
    seedRandom(77);
    for (int round = 0; round < 3000; ++round) {
        std::string text = good;
        const int edits = 1 + nextRandom() % 4;
        for (int e = 0; e < edits; ++e) {
            const std::size_t at = static_cast<std::size_t>(nextRandom()) % text.size();
            switch (nextRandom() % 3) {
                case 0:
                    text[at] = alphabet[nextRandom() % (sizeof alphabet - 1)];
                    break;
                case 1:
                    text.erase(at, 1 + static_cast<std::size_t>(nextRandom() % 8));
                    break;
                default:
                    text.resize(at);
                    break;
            }
            if (text.empty()) break;
        }
        try {
            EXPECT_LE(parseExact(text).size(), 4u);
        } catch (const zentac::Exception&) {
        }
    }
}

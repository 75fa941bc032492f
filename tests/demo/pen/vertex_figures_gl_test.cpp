#include "demo/pen/figure_actor.h"
#include "demo/pen/node_ring.h"
#include "demo/pen/vertex_figures.h"
#include "figures/random.h"
#include "framework/render/gl_renderer.h"
#include "tests/fake_clock.h"
#include "tests/figures/recording_renderer.h"
#include "tests/shared_window.h"
#include "tests/temp_folder.h"
#include "tests/window_capture.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

class VertexFiguresGLTest : public FakeClockTest {
protected:
    void SetUp() override {
        FakeClockTest::SetUp();
        if (!openSharedWindow()) GTEST_SKIP() << "no OpenGL window could be opened";
    }

    // The show's generated vertex files are under data/ there.
    WorkingDirectory cwd{VORN_SHOW_FOLDER};
};

std::vector<int> lineCounts(const VertexFigures& figures) {
    std::vector<int> counts;
    for (int i = 0; i < VertexFigures::kActors; ++i) counts.push_back(figures.actor(i).lineTank().count());
    return counts;
}

// Window pixels darker than the white background; the frame goes to /tmp
// as a PNG for looking at.
int markedPixels(const std::string& name) {
    const std::vector<uint8_t> rgb = windowPixels();
    saveWindowPng(rgb, name);
    int marked = 0;
    for (uint8_t value : rgb) marked += value < 200;
    return marked;
}

}  // namespace

TEST_F(VertexFiguresGLTest, SegmentsRunStraightOrThroughTheirWiggle) {
    NodeRing ring;
    MoverTask* a = ring.takeMover();
    a->setPosition({100.0f, 100.0f});
    MoverTask* b = ring.takeMover();
    b->setPosition({200.0f, 150.0f});
    const auto corner = [&ring](MoverTask* anchor, Vec3 local) {
        PointNode* p = ring.takePoint();
        p->setMover(anchor);
        p->setLocal(local);
        p->place();
        return p;
    };
    PointNode* start = corner(a, {0.0f, 0.0f, 5.0f});
    LineNode* sameAnchor = ring.takeLine();
    sameAnchor->connect(start, corner(a, {50.0f, 0.0f, 0.0f}));
    RecordingRenderer drawn;
    sameAnchor->draw(drawn, 3.0f, true);
    std::vector<RecordingRenderer::Call> v = drawn.only(RecordingRenderer::Vertex);
    ASSERT_EQ(v.size(), 2u);
    EXPECT_EQ(std::vector<float>({v[0].a, v[0].b, v[0].c, v[1].a, v[1].b, v[1].c}),
              std::vector<float>({100, 100, 1, 150, 100, 1}));

    LineNode* across = ring.takeLine();
    across->connect(start, corner(b, {0.0f, 0.0f, 0.0f}));
    drawn.calls.clear();
    across->draw(drawn, 3.0f, false);
    v = drawn.only(RecordingRenderer::Vertex);
    ASSERT_GE(v.size(), 62u);
    ASSERT_LE(v.size(), 102u);
    EXPECT_EQ(v.size() % 2, 0u);
    EXPECT_EQ(std::vector<float>({v[0].a, v[0].b, v[0].c}), std::vector<float>({100, 100, 5}));
    EXPECT_EQ(std::vector<float>({v.back().a, v.back().b, v.back().c}), std::vector<float>({200, 150, 1}));
    for (std::size_t i = 1; i + 1 < v.size(); ++i) {
        // Off the straight line y - 100 = (x - 100) / 2 by at most the width.
        const float off = std::fabs((v[i].b - 100.0f) - (v[i].a - 100.0f) / 2) / std::sqrt(1.25f);
        EXPECT_LE(off, 3.0f * std::sqrt(2.0f) + 1e-3f) << i;
    }
    drawn.calls.clear();
    across->draw(drawn, 0.0f, false);
    EXPECT_EQ(drawn.only(RecordingRenderer::Vertex).size(), 2u);
}

// Actor 7's growth and origin leave the show replay's pins as they are (the
// show never draws that actor), so the note tables are checked here.
TEST_F(VertexFiguresGLTest, NotesAndPatternsStepTheFiguresByTheirTables) {
    seedRandom(1);
    setSceneTime(1000);
    VertexFigures figures;
    RecordingRenderer drawn;
    setSceneTime(1015);
    figures.draw(drawn);
    EXPECT_FLOAT_EQ(figures.actor(0).origin().x, 150.0f) << "origin envelopes not started";
    EXPECT_FLOAT_EQ(figures.actor(0).origin().y, 170.0f);
    EXPECT_FLOAT_EQ(figures.actor(7).origin().x, 500.0f);
    EXPECT_FLOAT_EQ(figures.actor(8).origin().y, 400.0f);
    const Vec2 target = figures.targetPoint();
    EXPECT_NEAR(target.x, 190.0f, 10.0f) << "the main anchor trembles in its box";
    EXPECT_NEAR(target.y, 210.0f, 10.0f);

    const std::vector<int> before = lineCounts(figures);
    seedRandom(3);
    for (auto [pattern, note] : {std::pair{69, 45}, {70, 41}, {78, 45}, {72, 36}, {77, 38}}) {
        figures.onNote(pattern, note, 0);
    }
    EXPECT_EQ(lineCounts(figures), before);
    const int drawnNext = nextRandom();
    seedRandom(3);
    EXPECT_EQ(nextRandom(), drawnNext) << "nothing drawn";

    // A second start of pattern 77 leaves the width envelope running from
    // the first: at 1000 ms it reads 5.
    figures.onPattern(77);
    setSceneTime(2015);
    figures.onPattern(77);
    for (int i = 0; i < 300 && figures.actor(0).path().anchors().count() == 0; ++i) figures.onNote(77, 45, 0);
    ASSERT_EQ(figures.actor(0).path().anchors().count(), 1);
    EXPECT_FLOAT_EQ(figures.actor(0).width(), 5.0f);

    figures.onPattern(73);
    for (int i = 0; i < 6; ++i) {
        for (auto [pattern, note] : {std::pair{74, 45}, {75, 45}, {72, 38}}) figures.onNote(pattern, note, 0);
    }
    setSceneTime(37015);
    figures.draw(drawn);
    const std::vector<int> grown = lineCounts(figures);
    for (int i = 1; i < VertexFigures::kActors; ++i) EXPECT_GE(grown[static_cast<std::size_t>(i)], 2) << i;
    figures.onNote(77, 45, 0);
    const std::vector<int> kept = lineCounts(figures);
    EXPECT_EQ(std::vector<int>(kept.begin() + 1, kept.end()), std::vector<int>(grown.begin() + 1, grown.end()))
        << "35000 ms since the pattern start is not yet more";
    setSceneTime(37016);
    figures.draw(drawn);
    figures.onNote(77, 45, 0);
    for (int i = 1; i < VertexFigures::kActors; ++i) EXPECT_LE(figures.actor(i).lineTank().count(), 1) << i;
}

TEST_F(VertexFiguresGLTest, FiguresGrowOnTheNotesOfAPencilPassage) {
    seedRandom(666);
    setSceneTime(0);
    VertexFigures figures;
    GLRenderer renderer(kWindowWidth, kWindowHeight);
    int time = 0;
    const auto frames = [&](int count, int pattern) {
        for (int f = 0; f < count; ++f) {
            time += 14;
            setSceneTime(time);
            if (f % 2 == 0) figures.onNote(pattern, 45, f / 2);
            if (f % 8 == 4) figures.onNote(pattern, pattern == 70 ? 40 : 38, f / 2);
            renderer.clear(1, 1, 1);
            figures.draw(renderer);
        }
    };
    figures.onPattern(70);
    frames(16, 70);
    EXPECT_GT(markedPixels("vorn-vertex-figures-70.png"), 1000);
    figures.onPattern(71);
    frames(40, 71);
    EXPECT_GT(markedPixels("vorn-vertex-figures-71.png"), 3000);
    figures.onPattern(73);
    frames(16, 73);
    figures.onPattern(74);
    frames(16, 74);
    EXPECT_GT(markedPixels("vorn-vertex-figures-74.png"), 3000);
}

#include "figures/branch_growth.h"
#include "figures/random.h"
#include "tests/figures/draw_count.h"
#include "tests/figures/recording_renderer.h"
#include "tests/figures/stage_clock.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// How many primitives of a kind were begun.
int drawn(const RecordingRenderer& renderer, int kind) {
    int n = 0;
    for (const RecordingRenderer::Call& call : renderer.only(RecordingRenderer::Begin)) n += call.a == kind;
    return n;
}

using BranchFieldTest = StageClockTest;

// Draws of one root: its four coordinates, its colour, 30 children of two
// scatter draws and five of their own, and its blob.
constexpr int kDrawsPerRoot = 4 + 3 + 30 * (2 + 5) + 1;

}  // namespace

TEST_F(BranchFieldTest, RootsAndChildrenFollowTheirDrawsInOrder) {
    seedRandom(1);
    float y0 = static_cast<float>(nextRandom() % 600 - 100);
    float x0 = static_cast<float>(nextRandom() % 800 - 100);
    float y1 = static_cast<float>(nextRandom() % 201 + 140);
    float x1 = static_cast<float>(nextRandom() % 201 + 220);
    for (int i = 0; i < 3; ++i) nextRandom();  // the root's colour
    int scatterY = nextRandom() % 301 - 150;
    int scatterX = nextRandom() % 301 - 150;
    for (int i = 0; i < 3; ++i) nextRandom();  // the first child's colour
    float childSpeed = static_cast<float>(nextRandom() % 8000) / 1000.0f + 3.0f;

    seedRandom(1);
    BranchGrowth growth;
    EXPECT_EQ(drawsSince(1, 300000), BranchGrowth::kPoolSize * kDrawsPerRoot) << "the field takes its roots' draws";

    const Branch& root = growth.pooled(0);
    EXPECT_EQ(root.startPoint().x, x0);
    EXPECT_EQ(root.startPoint().y, y0);
    float dx = x1 - x0;
    float dy = y1 - y0;
    float distance = std::sqrt(dx * dx + dy * dy);
    EXPECT_EQ(root.length(), static_cast<int>(distance));
    EXPECT_EQ(root.speed(), 3.0f);
    ASSERT_EQ(root.children().size(), 30u);

    const Branch& child = *root.children()[0];
    EXPECT_EQ(child.startPoint().x, x1) << "children start at the root's end point";
    EXPECT_EQ(child.startPoint().y, y1);
    EXPECT_EQ(child.speed(), childSpeed);
    float cx = static_cast<float>(scatterX) + dx / distance * 200.0f;
    float cy = static_cast<float>(scatterY) + dy / distance * 200.0f;
    EXPECT_EQ(child.length(), static_cast<int>(std::sqrt(cx * cx + cy * cy)));
    EXPECT_TRUE(child.children().empty());

    for (int i = 0; i < BranchGrowth::kInPlay; ++i) EXPECT_EQ(growth.inPlay()[i], &growth.pooled(i));
}

TEST_F(BranchFieldTest, EventsActivateThenBurstAtMostTwoRoots) {
    BranchGrowth growth;
    const std::vector<Branch*>& roots = growth.inPlay();
    setSceneTime(1000);
    growth.grow();
    EXPECT_TRUE(roots[0]->isActive() && roots[1]->isActive());
    EXPECT_FALSE(roots[2]->isActive() || roots[0]->isStarted());
    growth.grow();
    EXPECT_TRUE(roots[0]->isStarted() && roots[1]->isStarted());
    EXPECT_FALSE(roots[2]->isActive());
    growth.grow();
    EXPECT_TRUE(roots[2]->isActive() && roots[3]->isActive());
    EXPECT_FALSE(roots[2]->isStarted() || roots[4]->isActive());

    RecordingRenderer renderer;
    growth.update(renderer);
    // Roots 2 and 3 move; roots 0 and 1 have burst into 60 moving children.
    EXPECT_EQ(drawn(renderer, Renderer::Polygon), 2 + 60);
    EXPECT_EQ(drawn(renderer, Renderer::Lines), 2 + 60);

    // Children fade over their last third and finish a millisecond after
    // their lifetime; the root finishes with the last of them.
    Branch& child = *roots[0]->children()[0];
    int life = child.length();
    setSceneTime(1000 + static_cast<int>(life / 1.5));
    EXPECT_FLOAT_EQ(child.alpha(), 0.7f);
    setSceneTime(1000 + life);
    EXPECT_FLOAT_EQ(child.alpha(), 0.0f);
    EXPECT_FALSE(child.isFinished());
    setSceneTime(1000 + life + 1);
    EXPECT_TRUE(child.isFinished());

    setSceneTime(5000);
    EXPECT_TRUE(roots[0]->isFinished());
    EXPECT_FALSE(roots[2]->isFinished()) << "never started";
    renderer.calls.clear();
    growth.update(renderer);
    EXPECT_EQ(roots[0], &growth.pooled(10));
    EXPECT_EQ(roots[1], &growth.pooled(11));
    EXPECT_EQ(drawn(renderer, Renderer::Polygon), 2) << "only roots 2 and 3 move";
}

TEST_F(BranchFieldTest, FromTheStageEveryRootInPlayBursts) {
    BranchGrowth growth;
    const std::vector<Branch*>& roots = growth.inPlay();
    setSceneTime(204000);
    growth.grow();
    ASSERT_TRUE(roots[0]->isActive() && !roots[0]->isStarted());

    setSceneTime(205001);
    RecordingRenderer renderer;
    growth.update(renderer);
    for (Branch* root : roots) EXPECT_TRUE(root->isStarted());
    // Only the two activated roots show their children, drawn twice.
    EXPECT_EQ(drawn(renderer, Renderer::Polygon), 2 * 60);

    // An event after the stage starts nothing new: every root is started.
    growth.grow();
    EXPECT_FALSE(roots[2]->isActive());
}

TEST_F(BranchFieldTest, AFieldThatUsedUpItsPoolKeepsItsLastRoots) {
    seedRandom(7);
    BranchGrowth growth;
    RecordingRenderer renderer;
    int time = 0;
    for (int round = 0; round < BranchGrowth::kPoolSize / BranchGrowth::kInPlay + 1; ++round) {
        setSceneTime(time += 10);
        for (int event = 0; event < BranchGrowth::kInPlay; ++event) growth.grow();
        setSceneTime(time += 1000);
        renderer.calls.clear();
        growth.update(renderer);
    }
    EXPECT_EQ(growth.nextRoot(), nullptr);
    for (int i = 0; i < BranchGrowth::kInPlay; ++i) {
        EXPECT_EQ(growth.inPlay()[i], &growth.pooled(BranchGrowth::kPoolSize - BranchGrowth::kInPlay + i));
        EXPECT_TRUE(growth.inPlay()[i]->isFinished());
    }
}

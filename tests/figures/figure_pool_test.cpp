#include "figures/figure_factory.h"
#include "figures/figure_pool.h"
#include "figures/grid_walker.h"
#include "figures/random.h"
#include "tests/figures/draw_count.h"
#include "tests/figures/recording_renderer.h"
#include "tests/figures/scene_clock.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

namespace {

int nodeCount(const FigureBase& node) {
    int n = 0;
    for (const auto& child : node.children()) n += 1 + nodeCount(*child);
    return n;
}

// Everything a figure is made of, in tree order.
void appendFingerprint(const FigureBase& node, std::vector<float>& out) {
    out.push_back(static_cast<float>(node.id()));
    out.push_back(static_cast<float>(node.children().size()));
    if (const auto* shape = dynamic_cast<const Shape*>(&node)) {
        for (Vec2 v : {shape->position(), shape->pivot(), shape->childOffset()}) out.insert(out.end(), {v.x, v.y});
        for (Vec2 p : shape->points()) out.insert(out.end(), {p.x, p.y});
        const RGB& c = shape->source().color();
        out.insert(out.end(), {c.r, c.g, c.b});
    }
    for (const auto& child : node.children()) appendFingerprint(*child, out);
}

std::vector<float> fingerprint(const FigureBase& root) {
    std::vector<float> out;
    appendFingerprint(root, out);
    return out;
}

struct Recipe {
    int id;
    int draws;
    int nodes;
};

// Draws and nodes of each id's figure built first from seed 1.
constexpr Recipe kRecipes[] = {
    {100, 331, 61}, {200, 116, 13},  {300, 29, 3},   {400, 120, 13},  {500, 200, 33},
    {600, 54, 17},  {700, 16, 1},    {800, 54, 7},   {900, 33, 6},    {1000, 180, 31},
    {1100, 43, 12}, {1200, 16, 1},   {1300, 16, 1},  {1400, 40, 3},   {10000, 480, 89},
};

TEST(FigureFactory, EachRecipeTakesItsDrawsAndBuildsItsTree) {
    for (const Recipe& recipe : kRecipes) {
        FigureParts parts;
        FigureRegistry registry;
        FigureFactory factory(parts, registry);
        seedRandom(1);
        std::unique_ptr<FigureGroup> root = factory.create(recipe.id);
        EXPECT_EQ(drawsSince(1), recipe.draws) << "id " << recipe.id;
        EXPECT_EQ(nodeCount(*root), recipe.nodes) << "id " << recipe.id;
        EXPECT_EQ(root->id(), recipe.id);
        EXPECT_EQ(root->children().at(0)->id(), recipe.id) << "every node carries the id";
        EXPECT_EQ(registry.pickers().size(), 1u);
    }

    FigureParts parts;
    FigureRegistry registry;
    FigureFactory factory(parts, registry);
    seedRandom(1);
    std::unique_ptr<FigureGroup> stranger = factory.create(9);
    EXPECT_EQ(drawsSince(1), 2) << "only the root's own draws";
    EXPECT_TRUE(stranger->children().empty());
    EXPECT_EQ(stranger->id(), 9);
    EXPECT_TRUE(registry.pickers().empty());
}

TEST(FigureFactory, SameDrawsSameFigure) {
    FigureParts parts;
    FigureRegistry registry;
    FigureFactory factory(parts, registry);
    for (int id : {200, 400, 1000, 10000}) {
        seedRandom(77);
        std::vector<float> first = fingerprint(*factory.create(id));
        seedRandom(77);
        EXPECT_EQ(fingerprint(*factory.create(id)), first) << "id " << id;
        EXPECT_NE(fingerprint(*factory.create(id)), first) << "id " << id << " with the next draws";
    }
    EXPECT_EQ(registry.pickerFor(2)->count(), 3);
    EXPECT_EQ(registry.pickerFor(5), nullptr);
}

TEST(FigurePool, BuildsTheShowsFiguresInOrder) {
    seedRandom(1);
    FigurePool pool(false);
    EXPECT_EQ(drawsSince(1, 200000), 88260);
    const std::vector<FigureBase*>& figures = pool.figures();
    ASSERT_EQ(figures.size(), 720u);
    std::vector<std::pair<int, int>> runs;
    int nodes = 0;
    for (FigureBase* figure : figures) {
        if (runs.empty() || runs.back().first != figure->id()) runs.push_back({figure->id(), 0});
        ++runs.back().second;
        nodes += nodeCount(*figure);
    }
    std::vector<std::pair<int, int>> expected = {{100, 30}, {200, 100}, {300, 30}, {400, 100}, {500, 30},
                                                 {600, 30}, {700, 30},  {800, 30}, {900, 80},  {1000, 30},
                                                 {1100, 60}, {1200, 30}, {1300, 30}, {1400, 30}, {10000, 80}};
    EXPECT_EQ(runs, expected);
    EXPECT_EQ(nodes, 14284);

    std::map<int, int> sizes;
    for (auto [code, picker] : pool.registry().pickers()) sizes[code] = picker->count();
    std::map<int, int> expectedSizes = {{1, 90},  {2, 100}, {3, 30},  {4, 100}, {6, 30},  {7, 30},
                                        {8, 30},  {10, 140}, {13, 30}, {14, 30}, {15, 30}, {16, 80}};
    EXPECT_EQ(sizes, expectedSizes);

    // The first figure's ring took the 15th to 17th draws of the show for
    // its colour; the first wheel's hub has a radius of 25.461.
    const Shape& ring = static_cast<const Shape&>(*figures[0]->children()[0]);
    EXPECT_FLOAT_EQ(ring.source().color().r, 194 / 255.0f);
    EXPECT_FLOAT_EQ(ring.source().color().g, 32 / 255.0f);
    EXPECT_FLOAT_EQ(ring.source().color().b, 37 / 255.0f);
    const Shape& hub = static_cast<const Shape&>(*figures[30]->children()[0]);
    EXPECT_FLOAT_EQ(hub.points()[0].x, 25.461f);
    EXPECT_FLOAT_EQ(hub.points()[0].y, 0.0f);
}

TEST(FigurePool, HighBudgetOnlyAddsGreyClusters) {
    seedRandom(1);
    FigurePool normal(false);
    seedRandom(1);
    FigurePool high(true);
    EXPECT_EQ(drawsSince(1, 400000), 178300);
    ASSERT_EQ(high.figures().size(), 960u);
    for (std::size_t i = 0; i < normal.figures().size(); ++i) {
        ASSERT_EQ(fingerprint(*high.figures()[i]), fingerprint(*normal.figures()[i])) << "figure " << i;
    }
    EXPECT_EQ(high.figures().back()->id(), 10000);
    EXPECT_EQ(high.registry().pickerFor(16)->count(), 320);
}

class TriggeredFigureTest : public SceneClockTest {};

TEST_F(TriggeredFigureTest, APickerStartsItsOwnFigure) {
    seedRandom(1);
    FigurePool pool(false);
    RecordingRenderer renderer;
    for (FigureBase* figure : pool.figures()) figure->frame(renderer);
    EXPECT_TRUE(renderer.calls.empty()) << "nothing shows before a trigger";

    // The 5th crown (id 800, code 6) sits at a random point of its box,
    // 200 to the right early in the show.
    setSceneTime(1000);
    pool.registry().pickerFor(6)->triggerAt(4);
    FigureBase* crown = pool.figures()[30 + 100 + 30 + 100 + 30 + 30 + 30 + 4];
    ASSERT_EQ(crown->id(), 800);
    for (FigureBase* figure : pool.figures()) {
        if (figure != crown) figure->frame(renderer);
    }
    EXPECT_TRUE(renderer.calls.empty());
    setSceneTime(1100);
    crown->frame(renderer);
    std::vector<RecordingRenderer::Call> v = renderer.only(RecordingRenderer::Vertex);
    ASSERT_EQ(v.size(), 45u * 3 + 6 * 15 * 3);
    const float zoom = 4.5f;
    float x = (v[0].a - 320) * zoom + 320;
    float y = (v[0].b - 240) * zoom + 240;
    // Within the box, give or take the body's radius of at most 18 x 0.6.
    EXPECT_GT(x, 300.0f + 200 - 11);
    EXPECT_LT(x, 600.0f + 200 + 11);
    EXPECT_GT(y, 100.0f - 11);
    EXPECT_LT(y, 300.0f + 11);
}

TEST(GridWalker, StopsOnFreshGridCellsAndStartsAfreshWhenAllAreUsed) {
    seedRandom(5);
    GridWalker walker;
    EXPECT_EQ(walker.position().x, 420);
    EXPECT_EQ(walker.position().y, 410);
    std::set<std::pair<int, int>> stops;
    for (int i = 0; i < 208; ++i) {
        walker.walk();
        GridWalker::Cell c = walker.position();
        ASSERT_TRUE(-20 < c.x && c.x < 640 && 0 < c.y && c.y < 500);
        ASSERT_EQ((c.x - 420) % 40, 0);
        ASSERT_EQ((c.y - 410) % 40, 0);
        ASSERT_TRUE(stops.insert({c.x, c.y}).second) << "walk " << i << " stopped on a used cell";
    }
    // Every cell is used now: the next walks still end.
    walker.walk();
    walker.walk();
}

}  // namespace

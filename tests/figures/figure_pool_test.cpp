#include "figures/figure_factory.h"
#include "figures/figure_pool.h"
#include "figures/grid_walker.h"
#include "figures/random.h"
#include "tests/figures/draw_count.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

namespace {

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

// What each recipe builds and draws is pinned with the whole show; an id
// without a recipe is not in the show.
TEST(FigureFactory, AnUnknownIdBuildsABareRoot) {
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

TEST(FigurePool, HighBudgetOnlyAddsGreyClusters) {
    seedRandom(1);
    FigurePool normal(false);
    seedRandom(1);
    FigurePool high(true);
    ASSERT_EQ(high.figures().size(), 960u);
    for (std::size_t i = 0; i < normal.figures().size(); ++i) {
        ASSERT_EQ(fingerprint(*high.figures()[i]), fingerprint(*normal.figures()[i])) << "figure " << i;
    }
    EXPECT_EQ(high.figures().back()->id(), 10000);
    EXPECT_EQ(high.registry().pickerFor(16)->count(), 320);

    // Codes 7, 8 and 13 have figures but no binding: the show never starts
    // them, so the show replay cannot see which code their pickers answer.
    std::map<int, int> sizes;
    for (auto [code, picker] : normal.registry().pickers()) sizes[code] = picker->count();
    std::map<int, int> expectedSizes = {{1, 90},  {2, 100}, {3, 30},  {4, 100}, {6, 30},  {7, 30},
                                        {8, 30},  {10, 140}, {13, 30}, {14, 30}, {15, 30}, {16, 80}};
    EXPECT_EQ(sizes, expectedSizes);
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

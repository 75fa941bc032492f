#include "figures/color_source.h"
#include "figures/element.h"
#include "figures/random.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

TEST(Random, ReproducesTheSharedSequence) {
    seedRandom(1);
    for (int expected : {41, 18467, 6334, 26500, 19169}) EXPECT_EQ(nextRandom(), expected);
    seedRandom(666);
    for (int expected : {2213, 22734, 23992, 5052, 29849}) EXPECT_EQ(nextRandom(), expected);
}

TEST(Random, RangesAndChancesAtTheirEdges) {
    seedRandom(1);
    float seenMax = 0.0f;
    for (int i = 0; i < 20000; ++i) {
        float u = randomRange(0.0f, 1.0f);
        ASSERT_GE(u, 0.0f);
        ASSERT_LE(u, 0.9999f);
        ASSERT_NEAR(u * 10000.0f, std::round(u * 10000.0f), 1e-3f);
        seenMax = std::max(seenMax, u);
    }
    EXPECT_GT(seenMax, 0.99f);

    seedRandom(666);
    EXPECT_FLOAT_EQ(randomRange(5.0f, 5.0f), 5.0f);
    EXPECT_EQ(nextRandom(), 22734) << "an empty range still takes its draw";
    seedRandom(666);
    EXPECT_FLOAT_EQ(randomRange(10.0f, 0.0f), 10.0f - 10.0f * 0.2213f) << "lo > hi runs downward";

    seedRandom(666);
    EXPECT_FALSE(oneIn(0.99f));
    EXPECT_TRUE(oneIn(1.0f));
    EXPECT_EQ(nextRandom(), 22734) << "only oneIn(1) drew";

    std::set<float> ints;
    for (int i = 0; i < 300; ++i) ints.insert(randomInt(114, 117));
    EXPECT_EQ(ints, (std::set<float>{114, 115, 116}));

    seedRandom(666);
    EXPECT_FLOAT_EQ(randomInt(5, 5), 5.0f);
    EXPECT_FLOAT_EQ(randomInt(7, 3), 7.0f);
    EXPECT_EQ(nextRandom(), 23992) << "empty ranges take their draws";
}

namespace {

std::set<int> channelBytes(const ColorSource& source, float RGB::*channel, int rounds) {
    std::unique_ptr<ColorSource> copy = source.clone();
    std::set<int> bytes;
    for (int i = 0; i < rounds; ++i) {
        copy->regenerate();
        EXPECT_EQ(copy->color().*channel, copy->color2().*channel);
        bytes.insert(static_cast<int>(std::lround(copy->color().*channel * 255.0f)));
    }
    return bytes;
}

std::set<int> byteRange(int lo, int hi) {
    std::set<int> bytes;
    for (int b = lo; b <= hi; ++b) bytes.insert(b);
    return bytes;
}

}  // namespace

TEST(ColorSource, RandomColoursStayBelowTheirUpperBound) {
    seedRandom(1);
    std::unique_ptr<ColorSource> red = makeColorPresetA();
    EXPECT_EQ(channelBytes(*red, &RGB::r, 3000), byteRange(178, 228));
    EXPECT_EQ(channelBytes(*red, &RGB::g, 3000), byteRange(0, 50));
    std::unique_ptr<ColorSource> grey = makeColorPresetB();
    EXPECT_EQ(channelBytes(*grey, &RGB::b, 300), byteRange(114, 116));

    seedRandom(666);
    std::unique_ptr<ColorSource> first = red->clone();
    std::unique_ptr<ColorSource> second = red->clone();
    EXPECT_NE(first->color().r, second->color().r) << "each clone draws its own colour at once";
    EXPECT_EQ(nextRandom(), 16873) << "three draws per colour";

    RandomColor pinned(0.5f, 0.5f, 0.9f, 0.1f, 0.0f, 0.0f);
    EXPECT_FLOAT_EQ(pinned.color().r, 127 / 255.0f) << "no room gives the lower bound";
    EXPECT_FLOAT_EQ(pinned.color().g, 229 / 255.0f);
    EXPECT_FLOAT_EQ(pinned.color().b, 0.0f);
}

TEST(ColorSource, FixedColourNeverChanges) {
    FixedColor black({0, 0, 0}, {0, 0, 0});
    seedRandom(666);
    black.regenerate();
    EXPECT_EQ(black.color().r + black.color().g + black.color().b, 0.0f);
    EXPECT_EQ(nextRandom(), 2213) << "nothing drawn";

    FixedColor pair({0.1f, 0.2f, 0.3f}, {0.4f, 0.5f, 0.6f});
    std::unique_ptr<ColorSource> copy = pair.clone();
    EXPECT_FLOAT_EQ(copy->color().r, 0.4f) << "the fill is the second colour";
    EXPECT_FLOAT_EQ(copy->color2().r, 0.1f);
}

TEST(ElementPool, WrapsAfterAThousandTakesClearingOnlyThePoints) {
    ElementPool& pool = ElementPool::instance();
    Element* first = pool.next();
    first->setPoints({{1, 2}, {3, 4}});
    first->setOffset({7, 8});
    ASSERT_EQ(first->count(), 2);
    for (int i = 0; i < 999; ++i) ASSERT_NE(pool.next(), first);
    Element* again = pool.next();
    EXPECT_EQ(again, first);
    EXPECT_EQ(again->count(), 0);
    EXPECT_TRUE(again->points().empty());
    EXPECT_FLOAT_EQ(again->offset().x, 7.0f) << "the rest is left as it was";

    Element fresh;
    EXPECT_FLOAT_EQ(fresh.color().r, 1.0f);
    EXPECT_FLOAT_EQ(fresh.color2().r, 0.0f);
    EXPECT_FLOAT_EQ(fresh.color2().a, 1.0f);
    EXPECT_FLOAT_EQ(fresh.childOffset().x, 0.0f);
    EXPECT_EQ(fresh.count(), 0);
}

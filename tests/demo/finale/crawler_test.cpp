#include "demo/finale/crawler.h"
#include "demo/finale/muscle_timer.h"
#include "figures/random.h"
#include "tests/fake_clock.h"
#include "tests/figures/recording_renderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

float distance(Vec2 a, Vec2 b) { return std::hypot(a.x - b.x, a.y - b.y); }

int activeLimbs(const Crawler& crawler) {
    int active = 0;
    for (auto& limb : crawler.limbs()) active += limb->isActive();
    return active;
}

using MuscleTimerTest = FakeClockTest;
using CrawlerTest = FakeClockTest;

}  // namespace

TEST_F(MuscleTimerTest, ContractsStrongSlackStrongThenStops) {
    MuscleTimer muscle;
    EXPECT_TRUE(muscle.isDone());
    EXPECT_EQ(muscle.contraction(), 0.0f);

    int floors = 0;
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        setSceneTime(static_cast<int>(seed) * 2000);
        seedRandom(seed);
        float period = randomRange(100, 1000);
        for (int draw = 0; draw < 5; ++draw) nextRandom();
        int following = nextRandom();

        seedRandom(seed);
        muscle.restart();
        EXPECT_EQ(nextRandom(), following) << "a restart takes six draws";
        EXPECT_EQ(muscle.contraction(), 1.0f) << "clamped to 1 at the start";

        setSceneTime(static_cast<int>(seed) * 2000 + static_cast<int>(period / 2));
        float middle = muscle.contraction();
        bool slack = middle >= 0.03f && middle < 0.1f;
        // A held muscle stays at full strength through its first 300 ms.
        EXPECT_TRUE(slack || (middle == 1.0f && period / 2 < 300)) << middle;
        floors += slack;
        EXPECT_FALSE(muscle.isDone());

        setSceneTime(static_cast<int>(seed) * 2000 + static_cast<int>(std::ceil(period)));
        EXPECT_TRUE(muscle.isDone());
        EXPECT_EQ(muscle.contraction(), 0.0f);
    }
    EXPECT_GT(floors, 20);
}

TEST(CrawlerScores, EachNewBestIsKeptAsAnInteger) {
    EXPECT_EQ(lowestScoreIndex({100.7f, 100.5f}), 0u);
    EXPECT_EQ(lowestScoreIndex({100.7f, 99.9f}), 1u);
    EXPECT_EQ(lowestScoreIndex({300, 250, 251, 120, 400, 119.5f}), 5u);
    EXPECT_EQ(lowestScoreIndex({2000000}), 0u);
}

TEST_F(CrawlerTest, StartsWithARandomLimbAndStridesBackTowardHome) {
    RecordingRenderer renderer;
    setSceneTime(1000);
    Crawler crawler(&renderer);
    EXPECT_EQ(activeLimbs(crawler), 0);

    seedRandom(7);
    std::size_t first = static_cast<std::size_t>(nextRandom()) % 6;
    seedRandom(7);
    setSceneTime(1016);
    crawler.frame(0, 0, 0);
    EXPECT_EQ(activeLimbs(crawler), 1);
    EXPECT_TRUE(crawler.limbs()[first]->isActive());

    // Six limbs from the body, each drawn once a frame.
    ASSERT_EQ(renderer.only(RecordingRenderer::Vertex).size(), 12u);

    int strides = 0;
    float farthest = 0;
    for (int now = 1032; now < 240000; now += 16) {
        bool strideDue = distance(crawler.centre(), crawler.home()) > Crawler::strideThreshold && !crawler.isStriding();
        std::vector<float> scores;
        for (auto& limb : crawler.limbs()) scores.push_back(limb->score(crawler.home(), crawler.centre()));

        renderer.calls.clear();
        setSceneTime(now);
        crawler.frame(0, 0, 0);
        farthest = std::max(farthest, distance(crawler.centre(), crawler.home()));
        ASSERT_LE(activeLimbs(crawler), 1) << now;
        if (strideDue) {
            ++strides;
            EXPECT_TRUE(crawler.isStriding());
            EXPECT_TRUE(crawler.limbs()[lowestScoreIndex(scores)]->isActive()) << now;
        }
    }
    EXPECT_GT(strides, 0) << "the body wandered off and was steered back";
    EXPECT_LT(farthest, Crawler::strideThreshold + 30.0f);
}

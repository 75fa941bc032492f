#include "demo/scraps/fly_in_pool.h"
#include "demo/pencil/pencil_envelopes.h"
#include "figures/random.h"
#include "tests/fake_clock.h"
#include "tests/figures/recording_renderer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Call = RecordingRenderer::Call;

class FlyInTest : public FakeClockTest {
protected:
    // The mean of the drawn shard corners: where the shards are.
    Vec2 drawnCentre() const {
        const std::vector<Call> corners = renderer.only(RecordingRenderer::Vertex);
        Vec2 sum;
        for (const Call& c : corners) sum = sum + Vec2{c.a, c.b};
        return sum * (1.0f / static_cast<float>(corners.size()));
    }

    int flying(FlyInPool& pool) {
        int count = 0;
        for (int i = 0; i < FlyInPool::kPieces; ++i) count += !pool.piece(i).isDone();
        return count;
    }

    // Draws frames 10 ms apart until the pool has made another round.
    void nextRound(FlyInPool& pool) {
        const int rounds = pool.rounds();
        while (pool.rounds() == rounds) {
            now += 10;
            setSceneTime(now);
            renderer.calls.clear();
            pool.draw(renderer);
        }
    }

    RecordingRenderer renderer;
    int now = 0;
};

}  // namespace

TEST_F(FlyInTest, ShardsAreTenSpinningTrianglesFlyingAtTheirSpeed) {
    seedRandom(8);
    FlyInPiece shard;
    ASSERT_EQ(shard.triangles().size(), 10u);
    EXPECT_TRUE(shard.isDone()) << "free when made";

    setSceneTime(1000);
    shard.start({20, 240}, {620, 240}, 0.6f);
    EXPECT_FLOAT_EQ(shard.duration(), 1000.0f);
    setSceneTime(1500);
    shard.update(renderer);
    EXPECT_NEAR(drawnCentre().x, 320.0f, 5.0f);
    EXPECT_NEAR(drawnCentre().y, 240.0f, 5.0f);
    // Per triangle: a white fill and its three edges in black.
    const std::vector<Call> begins = renderer.only(RecordingRenderer::Begin);
    ASSERT_EQ(begins.size(), 20u);
    EXPECT_EQ(begins[0].a, Renderer::Polygon);
    EXPECT_EQ(begins[1].a, Renderer::Lines);
    EXPECT_EQ(renderer.only(RecordingRenderer::Vertex).size(), 10u * (3 + 6));
    EXPECT_FLOAT_EQ(renderer.only(RecordingRenderer::Color)[0].a, 1.0f);

    setSceneTime(2000);
    shard.update(renderer);
    EXPECT_FALSE(shard.isDone()) << "600 units at 0.6 take 1000 ms";
    setSceneTime(2001);
    renderer.calls.clear();
    shard.update(renderer);
    EXPECT_TRUE(shard.isDone());
    EXPECT_NEAR(drawnCentre().x, 620.0f, 5.0f) << "drawn once more where it arrived";
    renderer.calls.clear();
    shard.update(renderer);
    EXPECT_TRUE(renderer.calls.empty());

    // Straight up: no sideways motion to divide by.
    shard.start({100, 100}, {100, -200}, 0.3f);
    EXPECT_FLOAT_EQ(shard.duration(), 1000.0f);
    setSceneTime(3002);
    shard.update(renderer);
    EXPECT_TRUE(shard.isDone());
}

TEST_F(FlyInTest, PoolWaitsForItsPatternAndThrowsShardsBeyondTheEdges) {
    FlyInPool pool;
    pool.setRate(10000);
    pool.setId(71);
    pool.setTarget({300, 200});
    pool.onTrigger(70);
    setSceneTime(100);
    pool.draw(renderer);
    EXPECT_FALSE(pool.isActive());
    EXPECT_TRUE(renderer.calls.empty());

    // Before the envelopes' keys the bursts are empty.
    pool.onTrigger(71);
    ASSERT_TRUE(pool.isActive());
    PencilEnvelopes::instance().restartAll();
    nextRound(pool);
    nextRound(pool);
    EXPECT_EQ(flying(pool), 0);

    // From 51781 ms on, one shard a burst.
    now = 52000;
    nextRound(pool);
    ASSERT_EQ(flying(pool), 1);
    EXPECT_EQ(pool.cursor(), 1);
    EXPECT_NEAR(drawnCentre().x, 300.0f, 6.0f) << "it starts at the target";
    EXPECT_NEAR(drawnCentre().y, 200.0f, 6.0f);
    while (flying(pool) > 0 && now < 60000) {
        const std::vector<Call> before = renderer.calls;
        now += 10;
        setSceneTime(now);
        renderer.calls.clear();
        pool.draw(renderer);
        if (!renderer.calls.empty()) continue;
        renderer.calls = before;
        break;
    }
    const Vec2 arrived = drawnCentre();
    EXPECT_TRUE(arrived.x < -80 || arrived.x > 720 || arrived.y < -80 || arrived.y > 560)
        << arrived.x << ", " << arrived.y;
}

TEST_F(FlyInTest, ASpawnPastTheLastFreeShardStartsOverFromTheFirst) {
    FlyInPool pool;
    pool.setRate(10000);
    pool.setId(71);
    pool.onTrigger(71);
    setSceneTime(0);
    PencilEnvelopes::instance().restartAll();
    // Every shard but the last flies for a long time; the fourth lands soon.
    for (int i = 0; i < FlyInPool::kPieces - 1; ++i) pool.piece(i).start({0, 0}, {1000, 0}, i == 3 ? 20.0f : 0.001f);
    now = 52000;
    nextRound(pool);
    EXPECT_EQ(pool.cursor(), FlyInPool::kPieces) << "the last shard was free";
    nextRound(pool);
    EXPECT_EQ(pool.cursor(), 0) << "nothing free after it: back to the start, nothing thrown";
    EXPECT_TRUE(pool.piece(3).isDone()) << "the fourth has landed meanwhile and was not thrown again";
    nextRound(pool);
    EXPECT_EQ(pool.cursor(), 4);
    EXPECT_FALSE(pool.piece(3).isDone());
}

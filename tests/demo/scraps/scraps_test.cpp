#include "demo/scraps/position_source.h"
#include "demo/scraps/scrap_bit.h"
#include "demo/scraps/scrap_chain.h"
#include "demo/scraps/scrap_field.h"
#include "demo/scraps/texture_set.h"
#include "figures/random.h"
#include "framework/render/image.h"
#include "tests/fake_clock.h"
#include "tests/figures/recording_renderer.h"
#include "tests/png_writer.h"
#include "tests/temp_folder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

using Call = RecordingRenderer::Call;

// The same point every time, as many times as asked.
class FixedSource : public PositionSource {
public:
    bool hasMore() override { return left > 0; }
    Vec2 next() override {
        --left;
        return point;
    }
    void rewind() override { ++rewinds; }

    int left = 100000;
    Vec2 point{300.0f, 200.0f};
    int rewinds = 0;
};

float lengthOf(Vec2 v) { return std::sqrt(v.x * v.x + v.y * v.y); }

class ScrapTest : public FakeClockTest {
protected:
    ScrapTest() : image(pixels.data(), 70, 70, false) {}

    // Draws the chain every 10 ms from its start until `until` ms.
    void unfold(ScrapChain& chain, int from, int until) {
        for (int t = from; t <= until; t += 10) {
            setSceneTime(t);
            chain.draw(renderer);
        }
    }

    std::vector<uint32_t> pixels = std::vector<uint32_t>(70 * 70, 0xFFFFFFFFu);
    Image image;
    RecordingRenderer renderer;
};

}  // namespace

TEST_F(ScrapTest, BitsAreTexturedGridsCrumpledMoreWithEveryCopy) {
    seedRandom(1);
    ScrapBit flat(&image);
    const auto& grid = flat.vertices();
    ASSERT_EQ(grid.size(), 16u);

    seedRandom(2);
    ScrapBit crumpled = flat.crumpled();
    float moved = 0.0f;
    for (int i = 0; i < 16; ++i) {
        const float step = lengthOf(crumpled.vertices()[i].position - grid[i].position);
        EXPECT_LE(step, 5.0f + 1e-4f) << i;
        EXPECT_FLOAT_EQ(crumpled.vertices()[i].texCoord.x, grid[i].texCoord.x);
        moved += step;
    }
    EXPECT_GT(moved, 10.0f);

    // Shadows fall away from (200, 480), and only turn when the piece moves.
    EXPECT_FLOAT_EQ(flat.shadowOffset().x, 2.0f);
    flat.setPosition({320, 240});
    EXPECT_FLOAT_EQ(flat.shadowOffset().x, 2.0f) << "same position, same shadow";
    flat.setPosition({200, 280});
    EXPECT_FLOAT_EQ(flat.shadowOffset().x, 0.0f);
    EXPECT_FLOAT_EQ(flat.shadowOffset().y, -2.0f);
    flat.setPosition({500, 480});
    EXPECT_FLOAT_EQ(flat.shadowOffset().x, 1.5f);
    EXPECT_FLOAT_EQ(flat.shadowOffset().y, 0.0f);

    // A shadow polygon and a three-sided rim per quad, then the paper.
    ScrapLook look;
    flat.draw(renderer, look);
    EXPECT_EQ(renderer.only(RecordingRenderer::Begin).size(), 9u * 4 + 9);
    renderer.calls.clear();
    look.shadowPass = false;
    flat.draw(renderer, look);
    EXPECT_EQ(renderer.only(RecordingRenderer::Begin).size(), 9u);
}

TEST_F(ScrapTest, ChainsUnfoldFromTheMostCrumpledCopyToTheirRest) {
    bool restedAtFirst = false;
    bool restedAtThird = false;
    for (uint32_t seed = 1; seed < 40; ++seed) {
        seedRandom(seed);
        ScrapChain chain(&image, 10, 100);
        const int bits = chain.bitCount();
        ASSERT_GE(bits, 3);
        ASSERT_LE(bits, 22);
        const int count = bits - 1;
        const std::vector<int>& times = chain.appearanceTimes();
        ASSERT_EQ(static_cast<int>(times.size()), bits);
        EXPECT_LT(times[0], 100);
        for (int i = 1; i < bits; ++i) {
            EXPECT_GE(times[i] - times[i - 1], 10);
            EXPECT_LT(times[i] - times[i - 1], 100);
        }
        EXPECT_EQ(chain.shownIndex(), count);

        renderer.calls.clear();
        chain.draw(renderer);
        EXPECT_TRUE(renderer.calls.empty()) << "nothing before start";

        setSceneTime(1000);
        chain.start();
        // The first copy stays until its appearance time has passed.
        unfold(chain, 1000, 1000 + times[0]);
        EXPECT_EQ(chain.shownIndex(), count);
        unfold(chain, 1000 + times[0] + 10, 1000 + times[0] + 10);
        EXPECT_EQ(chain.shownIndex(), std::max(count - 1, chain.restIndex()));
        unfold(chain, 1000 + times[0] + 20, 4000);
        EXPECT_EQ(chain.shownIndex(), chain.restIndex()) << "never past its rest";
        EXPECT_TRUE(chain.isDone());
        (chain.restIndex() == 0 ? restedAtFirst : restedAtThird) = true;

        chain.reset();
        EXPECT_FALSE(chain.isStarted());
        EXPECT_EQ(chain.shownIndex(), count);
    }
    EXPECT_TRUE(restedAtFirst && restedAtThird);
}

TEST_F(ScrapTest, FadingChainsGrowWhileTheyUnfold) {
    seedRandom(4);
    ScrapChain chain(&image, 10, 100);
    const Vec2 at{100.0f, 120.0f};
    chain.setPosition(at);
    chain.setScale(2.0f);
    chain.setShadowPass(false);
    setSceneTime(0);
    chain.start();

    // The first corner of the first quad, as far from the centre as the
    // shown copy's corner times the scale.
    auto drawnScale = [&] {
        const int shown = chain.shownIndex();
        renderer.calls.clear();
        chain.draw(renderer);
        const Call corner = renderer.only(RecordingRenderer::Vertex).at(0);
        return lengthOf(Vec2{corner.a, corner.b} - at) / lengthOf(chain.bit(shown).vertices()[0].position);
    };
    EXPECT_NEAR(drawnScale(), 2.0f, 1e-4f);
    chain.setFade(true);
    const float bits = static_cast<float>(chain.bitCount());
    EXPECT_NEAR(drawnScale(), 0.0f, 1e-4f) << "the most crumpled copy starts at nothing";
    unfold(chain, 10, 500);
    const int shown = chain.shownIndex();
    ASSERT_LT(shown, chain.bitCount() - 1);
    EXPECT_NEAR(drawnScale(), 2.0f * (1.0f - (shown + 1) / bits), 1e-4f);
}

class ScrapFieldTest : public ScrapTest {
protected:
    void SetUp() override {
        ScrapTest::SetUp();
        seedRandom(1);
        inFolder = std::make_unique<WorkingDirectory>(folder.path());
        folder.write("data/scrap.png", writeRgbPng(8, 8, std::vector<uint32_t>(64, 0xFFFFFF)));
        textures.add("data/scrap.png");
    }

    // Spawns and draws frames every 20 ms up to `until`.
    void run(ScrapField& field, int from, int until) {
        for (int t = from; t <= until; t += 20) {
            setSceneTime(t);
            field.spawn();
            renderer.calls.clear();
            field.draw(renderer);
        }
    }

    TempFolder folder;
    std::unique_ptr<WorkingDirectory> inFolder;
    TextureSet textures;
    FixedSource source;
};

TEST_F(ScrapFieldTest, SpawnsInBurstsWithPausesFromItsStartTime) {
    ScrapField field(textures, source, 150, 10, 100);
    field.setStartTime(2000);
    setSceneTime(1000);
    EXPECT_FALSE(field.spawn());
    EXPECT_EQ(source.left, 100000) << "the source is not asked before the start time";

    // The first spawn starts a pause at once, yet still spawns.
    uint32_t seed = 1;
    int burst = 0;
    for (;; ++seed) {
        seedRandom(seed);
        randomRange(0, 500);
        burst = static_cast<int>(randomRange(0, 55));
        if (burst >= 5) break;
    }
    seedRandom(seed);
    const int pauseEnd = 2000 + static_cast<int>(randomRange(0, 500));
    seedRandom(seed);
    setSceneTime(2000);
    EXPECT_TRUE(field.spawn());
    EXPECT_TRUE(field.isPaused());
    EXPECT_EQ(field.spawned(), burst);
    for (int i = 0; i < burst; ++i) EXPECT_TRUE(field.chain(i).isStarted());
    EXPECT_FALSE(field.chain(burst).isStarted());

    setSceneTime(pauseEnd);
    EXPECT_FALSE(field.spawn());
    EXPECT_TRUE(field.isPaused());
    setSceneTime(pauseEnd + 1);
    EXPECT_FALSE(field.spawn()) << "the pause ends, but nothing comes out this frame";
    EXPECT_FALSE(field.isPaused());
    EXPECT_EQ(field.spawned(), burst);

    // All out within a few seconds, smaller bursts toward the end.
    for (int t = pauseEnd + 2; t < 60000 && !field.isExhausted(); t += 20) run(field, t, t);
    EXPECT_EQ(field.spawned(), 150);
    EXPECT_TRUE(field.isExhausted());

    // A source that has run dry stops the field.
    ScrapField dry(textures, source, 10, 10, 100);
    source.left = 0;
    EXPECT_FALSE(dry.spawn());
}

TEST_F(ScrapFieldTest, BakesOnceFewerThanATenthStillUnfold) {
    for (int count : {50, 150}) {
        restartSceneAt(5000);
        ScrapField field(textures, source, count, 10, 100);
        int t = 0;
        for (; t < 30000 && !field.isExhausted(); t += 20) run(field, t, t);
        ASSERT_TRUE(field.isExhausted());
        bool baked = false;
        int probes = 0;
        for (const int end = t + 6000; t <= end && !baked; t += 20, ++probes) {
            setSceneTime(t);
            renderer.calls.clear();
            field.draw(renderer);
            int unfolding = 0;
            for (int i = 0; i < count; ++i) unfolding += !field.chain(i).isDone();
            ScrapField probe = field;
            probe.drawToLayer(renderer);
            baked = probe.spawned() == 0;
            EXPECT_EQ(baked, unfolding < count / 10) << count << " chains, " << unfolding << " unfolding";
        }
        EXPECT_TRUE(baked);
        EXPECT_GT(probes, 5) << "not baked while many were still unfolding";
        source.rewinds = 0;
        renderer.calls.clear();
        field.drawToLayer(renderer);
        EXPECT_FALSE(renderer.calls.empty()) << "the pieces are drawn into the layer";
        EXPECT_EQ(field.spawned(), 0);
        EXPECT_FALSE(field.chain(0).isStarted());
        EXPECT_EQ(source.rewinds, count) << "one rewind per chain";
        EXPECT_FALSE(field.hasEnded());
    }
}

TEST_F(ScrapFieldTest, EndingBakesOnceMoreAndThenDrawsNothing) {
    ScrapField field(textures, source, 20, 10, 100);
    run(field, 0, 200);
    ASSERT_GT(field.spawned(), 0);
    int unfolding = 0;
    for (int i = 0; i < 20; ++i) unfolding += !field.chain(i).isDone();
    ASSERT_GE(unfolding, 2);
    field.end();
    EXPECT_TRUE(field.isExhausted());
    EXPECT_FALSE(field.hasEnded());
    renderer.calls.clear();
    field.drawToLayer(renderer);
    EXPECT_FALSE(renderer.calls.empty()) << "baked although most pieces still unfold";
    EXPECT_TRUE(field.hasEnded());
    run(field, 220, 2000);
    renderer.calls.clear();
    field.draw(renderer);
    EXPECT_TRUE(renderer.calls.empty());
}

TEST_F(ScrapFieldTest, APieceInTheTopLeftCornerIsReportedAndPlacedAnyway) {
    ScrapField field(textures, source, 5, 10, 100);
    source.point = {50.0f, 50.0f};
    testing::internal::CaptureStderr();
    run(field, 0, 3000);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("WTF? A scrap piece at (50.0, 50.0)"), std::string::npos);
    ASSERT_TRUE(field.chain(0).isStarted());
    renderer.calls.clear();
    field.draw(renderer);
    const std::vector<Call> corners = renderer.only(RecordingRenderer::Vertex);
    ASSERT_FALSE(corners.empty());
    EXPECT_NEAR(corners.back().a, 50.0f, 10.0f);
    EXPECT_NEAR(corners.back().b, 50.0f, 10.0f);
}

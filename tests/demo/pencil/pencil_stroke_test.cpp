#include "demo/pencil/layer_schedule.h"
#include "demo/pencil/pencil_stroke.h"
#include "demo/pencil/stroke_field.h"
#include "engine/core/exception.h"
#include "figures/random.h"
#include "framework/render/image.h"
#include "framework/render/image_cache.h"
#include "tests/demo/pencil_test_data.h"
#include "tests/fake_clock.h"
#include "tests/figures/recording_renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace {

// The random number that follows `draws` draws after seeding.
int numberAfter(uint32_t seed, int draws) {
    seedRandom(seed);
    for (int i = 0; i < draws; ++i) nextRandom();
    return nextRandom();
}

bool within(float value, float lo, float hi) { return value >= lo && value <= hi; }

// A 640x480 map, white (255) but where `dark` says.
template <typename Dark>
Image mapOf(Dark dark) {
    std::vector<uint32_t> pixels(640 * 480);
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const uint32_t red = dark(x, y);
            pixels[y * 640 + x] = 0xFF000000u | red << 16 | 0x00FFFFu;
        }
    }
    return Image(pixels.data(), 640, 480, true);
}

class PencilStrokeTest : public ::testing::Test {
protected:
    void SetUp() override {
        linkShowData(folder);
        inFolder = std::make_unique<WorkingDirectory>(folder.path());
    }

    TempFolder folder;
    std::unique_ptr<WorkingDirectory> inFolder;
};

}  // namespace

TEST_F(PencilStrokeTest, StrokesRunAwayFromTheEndInJitteredSteps) {
    StrokeTexture texture;
    seedRandom(3);
    EXPECT_TRUE(texture.makePencilStroke({50, 50}, {50, 50}, 0.5f).segments().empty());
    int next = nextRandom();
    EXPECT_EQ(next, numberAfter(3, 1)) << "an empty stroke draws its step length only";

    const Vec2 start{300, 200};
    const Vec2 end{200, 200};
    seedRandom(9);
    const int stepLength = nextRandom() % 10 + 1;
    seedRandom(9);
    PencilStroke stroke = texture.makePencilStroke(start, end, 0.25f);
    const int count = 100 / stepLength;
    ASSERT_EQ(stroke.segments().size(), static_cast<std::size_t>(count));
    next = nextRandom();
    EXPECT_EQ(next, numberAfter(9, 1 + 4 * count)) << "four jitter draws per segment";

    Vec2 previous = start;
    for (const PencilSegment& segment : stroke.segments()) {
        EXPECT_EQ(segment.alpha(), 0.25f);
        EXPECT_TRUE(within(segment.from().x - previous.x, -2, 2) && within(segment.from().y - previous.y, -2, 2));
        // Each step goes 1/count of the way from end to start, give or take 2.
        const Vec2 step = segment.to() - segment.from();
        EXPECT_TRUE(within(step.x - 100.0f / count, -2.01f, 2.01f)) << step.x;
        EXPECT_TRUE(within(step.y, -2, 2));
        previous = segment.to();
    }
    EXPECT_GT(previous.x, start.x) << "away from the end point";

    RecordingRenderer renderer;
    stroke.segments().front().draw(renderer);
    ASSERT_EQ(renderer.only(RecordingRenderer::Vertex).size(), 2u);
    EXPECT_EQ(renderer.only(RecordingRenderer::Vertex)[0].c, 1.0f);
    EXPECT_EQ(renderer.only(RecordingRenderer::Color)[0].d, 0.25f);
    EXPECT_EQ(renderer.only(RecordingRenderer::Begin)[0].a, Renderer::Lines);
    EXPECT_EQ(renderer.only(RecordingRenderer::LineWidth)[0].a, 1.0f);
}

TEST(StrokeField, MapAcceptsBelowItsRedByteAndClampsToItsEdges) {
    Image map = mapOf([](int x, int y) -> uint32_t {
        if (x == 10 && y == 10) return 20;
        if (x == 30 && y == 479) return 7;
        if (x == 0 && y == 50) return 3;
        return 255;
    });
    StrokeField field(false);
    EXPECT_FALSE(field.accepts(&map, {10, 10}, 20.0f)) << "equal to the threshold";
    EXPECT_TRUE(field.accepts(&map, {10.9f, 10.5f}, 20.5f));
    EXPECT_TRUE(field.accepts(&map, {30, 600}, 8.0f)) << "below the screen reads the last row";
    EXPECT_FALSE(field.accepts(&map, {30, 478}, 8.0f));
    EXPECT_TRUE(field.accepts(&map, {-5, 50}, 4.0f)) << "left of the screen reads column 0";
    EXPECT_TRUE(field.accepts(nullptr, {10, 10}, 0.0f));

    // A map smaller than the screen is read within its own size.
    std::vector<uint32_t> tiny(4, 0xFF000000u);
    Image small(tiny.data(), 2, 2, true);
    EXPECT_TRUE(field.accepts(&small, {600, 400}, 1.0f));

    StrokeField vignette(true);
    EXPECT_TRUE(vignette.accepts(&map, {-100, -100}, 0.0f)) << "beyond the vignette's radius";
    int taken = 0;
    for (int i = 0; i < 1000; ++i) taken += vignette.accepts(&map, {320, 240}, 0.0f);
    EXPECT_TRUE(within(static_cast<float>(taken), 120, 280)) << "one in five at the centre: " << taken;
}

TEST(StrokeField, FillsTwoStrokesPerTryAndHandsThemOutInOrder) {
    StrokeField free(false);
    seedRandom(11);
    free.fill(nullptr, "", 3, 20);
    ASSERT_EQ(free.size(), 6u);
    const int next = nextRandom();
    EXPECT_EQ(next, numberAfter(11, 30)) << "without a map the first candidates are taken";

    std::vector<Vec2> starts;
    for (int i = 0; i < 6; ++i) {
        free.next();
        starts.push_back(free.start());
        if (i % 2 == 0) {
            EXPECT_TRUE(within(free.end().x - free.start().x, -100, 100));
            EXPECT_TRUE(within(free.end().y - free.start().y, -100, 100));
        } else {
            EXPECT_TRUE(within(free.start().x, 0, 639) && within(free.start().y, 0, 479));
        }
    }
    free.next();
    EXPECT_EQ(free.start().x, starts.back().x) << "the last pair repeats";
    EXPECT_EQ(free.start().y, starts.back().y);

    // A field kept to its layer's largest use places every stroke, so the
    // shared sequence goes on alike, but keeps only the first ones.
    StrokeField kept(false, 4);
    seedRandom(11);
    kept.fill(nullptr, "", 3, 20);
    EXPECT_EQ(kept.size(), 4u);
    EXPECT_EQ(nextRandom(), next);

    // Map-guided starts lie where the map is dark: here its left half.
    Image leftHalf = mapOf([](int x, int) -> uint32_t { return x < 320 ? 0 : 255; });
    StrokeField guided(false);
    guided.fill(&leftHalf, "left half", 200, 20);
    for (int i = 0; i < 400; ++i) {
        guided.next();
        if (i % 2 == 0) {
            EXPECT_LT(guided.start().x, 320.0f);
        }
    }
}

// The rule of a fill guided by a map, computed apart from the field from the
// walk's position on: each try's start and end, its unconditioned pair drawn
// and dropped.
std::vector<std::pair<Vec2, Vec2>> walkedPairs(const Image& map, Vec2 walk, int tries, float threshold) {
    auto dark = [&map](float x, float y, float t) {
        const int column = std::clamp(static_cast<int>(x), 0, 639);
        const int row = std::clamp(static_cast<int>(y), 0, 479);
        return static_cast<float>(map.getPixels()[row * map.getWidth() + column] >> 16 & 0xFF) < t;
    };
    std::vector<std::pair<Vec2, Vec2>> pairs;
    for (int i = 0; i < tries; ++i) {
        float t = 0;
        do {
            walk.x += static_cast<int>(randomRange(0, 100));
            walk.y += static_cast<int>(randomRange(0, 100));
            if (walk.x >= 740) walk.x = -100;
            if (walk.y >= 580) walk.y = -100;
            t = randomRange(0, threshold);
        } while (!dark(walk.x, walk.y, t));
        Vec2 end;
        float u = 0;
        do {
            end.x = walk.x + static_cast<int>(randomRange(-100, 100));
            end.y = walk.y + static_cast<int>(randomRange(-100, 100));
            u = randomRange(0, 255);
        } while (!dark(end.x, end.y, u));
        pairs.push_back({walk, end});
        for (int draw = 0; draw < 4; ++draw) nextRandom();
    }
    return pairs;
}

// Where the shared walk stands: a try without a map starts right there.
Vec2 walkPosition() {
    StrokeField probe(false);
    probe.fill(nullptr, "", 1, 20);
    probe.next();
    return probe.start();
}

TEST_F(PencilStrokeTest, TheShowsHatchingMapIsWalkedByTheRule) {
    const char* name = "data/pencilbackground/tolerancemap8.png";
    const Image& map = *ImageCache::instance().get(name);
    StrokeField field(false);
    for (float threshold : {20.0f, 30.0f}) {
        const Vec2 walk = walkPosition();
        seedRandom(666);
        field.fill(&map, name, 10000, threshold);
        const int next = nextRandom();
        seedRandom(666);
        const std::vector<std::pair<Vec2, Vec2>> expected = walkedPairs(map, walk, 10000, threshold);
        EXPECT_EQ(nextRandom(), next) << "the same draws, in the same order";
        for (const auto& [start, end] : expected) {
            field.next();
            ASSERT_EQ(field.start().x, start.x);
            ASSERT_EQ(field.start().y, start.y);
            ASSERT_EQ(field.end().x, end.x);
            ASSERT_EQ(field.end().y, end.y);
            field.next();
        }
    }
}

TEST(StrokeField, SparseMapsFillAtOnceAndHopelessOnesNameTheirFile) {
    // The walk alone would take minutes to find this pixel 10000 times.
    Image onePixel = mapOf([](int x, int y) -> uint32_t { return x == 300 && y == 200 ? 0 : 255; });
    StrokeField sparse(false);
    sparse.fill(&onePixel, "one pixel", 10000, 20);
    ASSERT_EQ(sparse.size(), 20000u);
    int strays = 0;
    for (int i = 0; i < 10000; ++i) {
        sparse.next();
        strays += sparse.start().x != 300 || sparse.start().y != 200 || sparse.end().x != 300 || sparse.end().y != 200;
        sparse.next();
    }
    EXPECT_EQ(strays, 0) << "guided strokes start and end on the one dark pixel";

    Image white = mapOf([](int, int) -> uint32_t { return 255; });
    Image justTooLight = mapOf([](int, int) -> uint32_t { return 20; });
    for (const Image* hopeless : {&white, &justTooLight}) {
        try {
            sparse.fill(hopeless, "data/hopeless.png", 1, 20);
            ADD_FAILURE() << "no place would ever be found";
        } catch (const zentac::Exception& error) {
            EXPECT_NE(std::string(error.Message().Data()).find("'data/hopeless.png'"), std::string::npos);
        }
    }
    StrokeField vignetted(true);
    vignetted.fill(&white, "white", 10, 255);
    EXPECT_EQ(vignetted.size(), 20u) << "a vignette does not read the map";
}

TEST_F(FakeClockTest, LayerSchedulesRampAndRunOneAfterTheOther) {
    PencilLayers layers({LayerSchedule(0.01, 0.3, 2, 5, 15), LayerSchedule(0.5, 1, 3, 15)});
    EXPECT_EQ(layers.batchSize(), 5);
    for (int i = 0; i < 9; ++i) layers.advance();
    EXPECT_EQ(layers.currentIndex(), 0u);
    layers.advance();
    EXPECT_EQ(layers.currentIndex(), 1u) << "ten strokes end the ramp";
    EXPECT_DOUBLE_EQ(layers.value(), 0.5) << "the next phase starts from its own value";
    EXPECT_EQ(layers.batchSize(), 3);
    for (int i = 0; i < 3; ++i) layers.advance();
    EXPECT_TRUE(layers.isDone());
    EXPECT_EQ(layers.currentIndex(), 1u) << "the last phase stays";
    setSceneTime(5000);
    EXPECT_FALSE(layers.isDue()) << "a finished layer is never due";

    LayerSchedule ramp(0.01, 0.3, 2, 5, 15);
    for (int i = 0; i < 10; ++i) ramp.advance();
    EXPECT_NEAR(ramp.value(), 0.3, 1e-12);

    LayerSchedule slices(0.1, 10, 1, 15);
    setSceneTime(1000);
    EXPECT_TRUE(slices.isDue());
    EXPECT_FALSE(slices.isDue()) << "one slice per interval";
    setSceneTime(1015);
    EXPECT_FALSE(slices.isDue());
    setSceneTime(1016);
    EXPECT_TRUE(slices.isDue());
}

// The show ends in the hatching's second shade, so the show replay sees
// neither the later shades nor the other presets.
TEST(PencilLayers, PresetsDrawTheirStrokesAtTheirShades) {
    struct Expected {
        std::unique_ptr<PencilLayers> layers;
        int strokes;
        double firstValue;
        double lastValue;
    };
    Expected presets[] = {{PencilLayers::makeConstant(), 1000000, 0.01, 0.2},
                          {PencilLayers::makeRamps(), 67500, 0.01, 0.0},
                          {PencilLayers::makeSingle(), 10000000, 0.5, 0.5}};
    for (Expected& preset : presets) {
        EXPECT_EQ(preset.layers->totalStrokes(), static_cast<std::size_t>(preset.strokes));
        EXPECT_DOUBLE_EQ(preset.layers->value(), preset.firstValue);
        int strokes = 0;
        while (!preset.layers->isDone()) {
            preset.layers->advance();
            ++strokes;
        }
        EXPECT_EQ(strokes, preset.strokes);
        EXPECT_NEAR(preset.layers->value(), preset.lastValue, 1e-9);
    }
    std::unique_ptr<PencilLayers> hatching = PencilLayers::makeConstant();
    std::vector<double> shades;
    while (!hatching->isDone()) {
        if (shades.empty() || shades.back() != hatching->value()) shades.push_back(hatching->value());
        hatching->advance();
    }
    EXPECT_EQ(shades, (std::vector<double>{0.01, 0.02, 0.03, 0.04, 0.1, 0.2}));
    EXPECT_EQ(PencilLayers::makeFine()->batchSize(), 100);
}

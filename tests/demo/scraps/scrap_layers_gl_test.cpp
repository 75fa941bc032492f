#include "demo/pencil/layer_schedule.h"
#include "demo/pencil/render_layer.h"
#include "demo/scraps/scrap_layers.h"
#include "demo/pencil/stroke_field.h"
#include "figures/random.h"
#include "framework/app/program_flags.h"
#include "framework/render/gl_renderer.h"
#include "tests/demo/pencil_test_data.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr int kFrameMs = 100;

// Window pixels clearly darker than the white paper: pieces and shadows.
int markedPixels() {
    const std::vector<uint8_t> rgb = windowPixels();
    int marked = 0;
    for (std::size_t i = 0; i < rgb.size(); i += 3) marked += rgb[i] < 235;
    return marked;
}

class ScrapLayersTest : public ShowDataGLTest {
protected:
    void SetUp() override {
        ShowDataGLTest::SetUp();
        if (IsSkipped()) return;
        restart();
    }
    void TearDown() override {
        ProgramFlags::keepSettledScraps = false;
        ShowDataGLTest::TearDown();
    }

    void restart() {
        seedRandom(1);
        layer = std::make_unique<RenderLayer>(1.0f, 1.0f, 1.0f, false, PencilLayers::makeConstant(),
                                              std::make_unique<StrokeField>(false), 0);
        scraps = std::make_unique<ScrapLayers>();
    }

    // Frames from `from` up to `until` ms: the white layer with what is
    // baked into it, then the pieces still unfolding over it.
    void run(int from, int until) {
        for (int t = from; t <= until; t += kFrameMs) {
            setSceneTime(t);
            layer->drawInto();
            layer->drawOut();
            scraps->draw(*layer, screen);
        }
    }

    GLRenderer screen{kWindowWidth, kWindowHeight};
    std::unique_ptr<RenderLayer> layer;
    std::unique_ptr<ScrapLayers> scraps;
};

}  // namespace

TEST_F(ScrapLayersTest, FieldsStartAfterTheirDelaysAndStayOnThePaper) {
    run(0, 1000);
    scraps->onTrigger(72);
    run(1100, 4000);
    EXPECT_FALSE(scraps->hasStarted(0));
    EXPECT_EQ(markedPixels(), 0) << "nothing before the delay";
    run(4100, 4100);
    EXPECT_TRUE(scraps->hasStarted(0));
    EXPECT_TRUE(scraps->hasStarted(1));
    EXPECT_FALSE(scraps->hasStarted(2));

    // A lower pattern does not stop what has started, but holds the pile.
    scraps->onTrigger(70);
    run(4200, 4400);
    run(4500, 11200);
    EXPECT_TRUE(scraps->hasStarted(0));
    EXPECT_FALSE(scraps->hasStarted(2));
    EXPECT_GT(markedPixels(), 20000) << "the standard pieces on the paper";
    EXPECT_EQ(scraps->field(0).spawned(), 0) << "baked, and out of positions";
    EXPECT_EQ(scraps->field(1).spawned(), 0);

    scraps->onTrigger(73);
    run(11300, 21200);
    EXPECT_FALSE(scraps->hasStarted(2));
    run(21300, 21300);
    EXPECT_TRUE(scraps->hasStarted(2)) << "10000 ms after the pattern";
    const int standard = markedPixels();
    run(21400, 25000);
    EXPECT_GT(scraps->field(2).spawned(), 0);
    EXPECT_GT(markedPixels(), standard) << "the pile grows from the bottom";

    // Ending bakes every field once more; then they stay as they are.
    scraps->endAll();
    run(25100, 25300);
    for (int slot = 0; slot < ScrapLayers::kSlots; ++slot) EXPECT_TRUE(scraps->field(slot).hasEnded()) << slot;
    const int baked = markedPixels();
    run(25400, 27000);
    EXPECT_EQ(markedPixels(), baked);
}

// Settled pieces drawn once into a picture of their own and laid over the
// paper must leave what drawing every piece every frame leaves, through
// every field, the pile's start and the bakes that empty the picture.
TEST_F(ScrapLayersTest, SettledPiecesLaidOverLookAsDrawnEveryFrame) {
    const std::vector<int> shown = {6000, 9000, 14000, 18000, 24000};
    std::vector<std::vector<uint8_t>> frames[2];
    for (bool keep : {false, true}) {
        ProgramFlags::keepSettledScraps = keep;
        restart();
        run(0, 1000);
        scraps->onTrigger(72);
        for (int t = 1100, next = 0; next < static_cast<int>(shown.size()); t += kFrameMs) {
            run(t, t);
            if (t == shown[static_cast<std::size_t>(next)]) {
                frames[keep].push_back(windowPixels());
                ++next;
            }
        }
    }
    EXPECT_TRUE(scraps->hasStarted(2)) << "the pile is in the last frames";
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const std::vector<uint8_t>& drawn = frames[0][i];
        const std::vector<uint8_t>& laid = frames[1][i];
        long long total = 0;
        int farOff = 0;
        int marked = 0;
        for (std::size_t c = 0; c < drawn.size(); ++c) {
            const int d = std::abs(drawn[c] - laid[c]);
            total += d;
            farOff += d > 8;
            marked += drawn[c] < 235;
        }
        EXPECT_GT(marked, 10000) << shown[i] << " ms: pieces on the paper";
        EXPECT_LT(static_cast<double>(total) / static_cast<double>(drawn.size()), 0.25) << shown[i] << " ms";
        EXPECT_LT(farOff, static_cast<int>(drawn.size() / 1000)) << shown[i] << " ms";
    }
}

#include "demo/pencil/render_layer.h"
#include "figures/random.h"
#include "framework/render/gl_batch.h"
#include "framework/render/renderer.h"
#include "tests/demo/pencil_test_data.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

// Fills a corner of the layer and counts how often it was asked to.
class CornerPatch : public LayerDrawable {
public:
    void drawToLayer(Renderer& renderer) override {
        ++draws;
        renderer.color(0, 0, 1, 1);
        renderer.begin(Renderer::Polygon);
        renderer.vertex(0, 0, 1);
        renderer.vertex(0, 100, 1);
        renderer.vertex(100, 100, 1);
        renderer.vertex(100, 0, 1);
        renderer.end();
    }
    int draws = 0;
};

std::array<uint8_t, 3> screenAt(int x, int y) {
    std::array<uint8_t, 3> rgb{};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    GLBatch::flushCurrent();
    glReadPixels(x, kWindowHeight - 1 - y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
}

int pixelsDarkerThan(int level) {
    const std::vector<uint8_t> rgb = windowPixels();
    int dark = 0;
    for (std::size_t i = 0; i < rgb.size(); i += 3) dark += rgb[i] < level && rgb[i + 1] < level;
    return dark;
}

void clearScreen(float r, float g, float b) {
    glClearColor(r, g, b, 1);
    glClear(GL_COLOR_BUFFER_BIT);
}

class RenderLayerTest : public ShowDataGLTest {
protected:
    // A layer of dark strokes anywhere on the screen, 50 per slice.
    std::unique_ptr<RenderLayer> strokeLayer(float grey, bool blend, int delay) {
        auto field = std::make_unique<StrokeField>(false);
        field->fill(nullptr, "", 2000, 20);
        auto layers = std::make_unique<PencilLayers>(std::vector<LayerSchedule>{{0.8, 100, 50, 15}});
        return std::make_unique<RenderLayer>(grey, grey, grey, blend, std::move(layers), std::move(field), delay);
    }

    void frame(RenderLayer& layer, int ms) {
        setSceneTime(ms);
        clearScreen(1, 0, 0);
        layer.drawInto();
        layer.drawOut();
    }
};

}  // namespace

TEST_F(RenderLayerTest, UntriggeredLayersShowOnlyTheirClearColour) {
    std::unique_ptr<RenderLayer> opaque = strokeLayer(1, false, 0);
    opaque->setPattern(71);
    opaque->onPattern(70);
    EXPECT_FALSE(opaque->isTriggered()) << "another pattern leaves it waiting";
    frame(*opaque, 1000);
    EXPECT_EQ(screenAt(500, 400), (std::array<uint8_t, 3>{255, 255, 255})) << "drawn without blending";

    std::unique_ptr<RenderLayer> blended = strokeLayer(0.5f, true, 0);
    frame(*blended, 1000);
    EXPECT_EQ(screenAt(500, 400), (std::array<uint8_t, 3>{255, 0, 0})) << "transparent when blended";
}

TEST_F(RenderLayerTest, StrokesBeginADelayAfterThePatternAndAccumulate) {
    std::unique_ptr<RenderLayer> layer = strokeLayer(1, false, 20000);
    layer->setPattern(77);
    setSceneTime(100000);
    layer->onPattern(77);
    EXPECT_TRUE(layer->isTriggered());

    frame(*layer, 119999);
    EXPECT_FALSE(layer->hasStarted());
    EXPECT_EQ(pixelsDarkerThan(200), 0);
    frame(*layer, 120000);
    EXPECT_TRUE(layer->hasStarted());
    const int firstSlice = pixelsDarkerThan(200);
    EXPECT_GT(firstSlice, 500) << "fifty dark strokes";

    setSceneTime(125000);
    layer->onPattern(77);
    frame(*layer, 125001);
    EXPECT_GT(pixelsDarkerThan(200), firstSlice) << "a new start does not wait again, strokes stay";
}

TEST_F(RenderLayerTest, QueuedDrawablesGoIntoTheTextureOncePerQueueing) {
    std::unique_ptr<RenderLayer> layer = strokeLayer(1, false, 0);
    CornerPatch patch;
    layer->enqueue(&patch);
    layer->enqueue(&patch);
    frame(*layer, 1000);
    EXPECT_EQ(patch.draws, 2);
    frame(*layer, 2000);
    EXPECT_EQ(patch.draws, 2) << "the queue empties every frame";
    EXPECT_EQ(screenAt(50, 50), (std::array<uint8_t, 3>{0, 0, 255})) << "kept in the texture";
    EXPECT_EQ(screenAt(500, 400), (std::array<uint8_t, 3>{255, 255, 255}));
}

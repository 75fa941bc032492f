#include "demo/pencil/pencil_envelopes.h"
#include "demo/pencil/pencil_overlay.h"
#include "demo/scenes/pencil_scene.h"
#include "demo/pencil/pencil_stroke.h"
#include "demo/pencil/render_layer.h"
#include "framework/render/gl_renderer.h"
#include "framework/midi/midi_input.h"
#include "tests/demo/pencil_test_data.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

double meanBrightness(const std::vector<uint8_t>& rgb) {
    double sum = 0;
    for (uint8_t v : rgb) sum += v;
    return sum / static_cast<double>(rgb.size());
}

int pixelsBelow(const std::vector<uint8_t>& rgb, int level) {
    int count = 0;
    for (std::size_t i = 0; i < rgb.size(); i += 3) count += rgb[i] < level;
    return count;
}

class PencilSceneTest : public ShowDataGLTest {
protected:
    // Frames 16 ms apart from `from` on; the window after the last.
    std::vector<uint8_t> run(PencilScene& scene, int from, int frames) {
        for (int i = 0; i < frames; ++i) {
            setSceneTime(from + 16 * i);
            screen.clear(1, 0, 0);
            scene.draw(screen);
        }
        return windowPixels();
    }

    GLRenderer screen{kWindowWidth, kWindowHeight};
};

}  // namespace

TEST_F(PencilSceneTest, PatternsSwitchTheLayersOnAndThePaperFillsWithPencil) {
    MidiInput midi;
    PencilScene scene(midi);
    std::vector<uint8_t> before = run(scene, 1000, 2);
    EXPECT_EQ(pixelsBelow(before, 250), 0) << "a white sheet: no strokes, no ticks, no paper yet";
    EXPECT_FALSE(scene.hatching().isTriggered());

    // Pattern 71 starts from the MIDI clock: bank 0, program 71, start.
    setSceneTime(2000);
    for (uint32_t message : {0x0020B0u, 0x47C0u, 0xFAu}) midi.enqueue(message);
    midi.update();
    EXPECT_TRUE(scene.hatching().isTriggered());
    EXPECT_FALSE(scene.shading().isTriggered());
    EXPECT_FALSE(scene.overlay().isActive());
    scene.onStart(74);
    scene.onStart(77);
    // Keeps the scrap pieces, armed by the two before, off the sheet.
    scene.onStart(70);
    EXPECT_TRUE(scene.overlay().isActive());
    EXPECT_TRUE(scene.shading().isTriggered());

    std::vector<uint8_t> hatched = run(scene, 2016, 40);
    EXPECT_GT(pixelsBelow(hatched, 255), 20000) << "faint hatching all over";
    EXPECT_FALSE(scene.shading().hasStarted()) << "20 s after its pattern";
    saveWindowPng(hatched, "pencil-scene-hatching.png");

    std::vector<uint8_t> shaded = run(scene, 22000, 40);
    EXPECT_TRUE(scene.shading().hasStarted());
    EXPECT_LT(meanBrightness(shaded), meanBrightness(hatched)) << "the grey shading darkens the sheet";
    saveWindowPng(shaded, "pencil-scene-shading.png");

    EXPECT_EQ(PencilEnvelopes::instance().paperAlpha(), 0.0f);
    std::vector<uint8_t> papered = run(scene, 2000 + 230000, 2);
    EXPECT_NEAR(PencilEnvelopes::instance().paperAlpha(), 0.9f, 1e-6f);
    EXPECT_LT(meanBrightness(papered), meanBrightness(shaded) - 10) << "the paper grain lies over it all";
    saveWindowPng(papered, "pencil-scene-paper.png");
}

TEST_F(PencilSceneTest, StrokeSegmentsAreTexturedWhateverDrewBefore) {
    StrokeTexture texture;
    PencilSegment segment;
    segment.set({20, 100}, {620, 100}, 1.0f, texture.image());
    // The first use of a texture loads it, which switches texturing on.
    segment.draw(screen);
    for (bool texturedBefore : {false, true}) {
        screen.clear(1, 1, 1);
        if (texturedBefore) {
            glEnable(GL_TEXTURE_2D);
        } else {
            glDisable(GL_TEXTURE_2D);
        }
        segment.draw(screen);
        EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), texturedBefore) << "texturing is left as it was";

        // The darkest pixel of every column the line crosses.
        const std::vector<uint8_t> rgb = windowPixels();
        std::vector<int> darkest;
        for (int x = 64; x < kWindowWidth - 64; ++x) {
            int lowest = 255;
            for (int y = 0; y < kWindowHeight; ++y) lowest = std::min<int>(lowest, rgb[(y * kWindowWidth + x) * 3]);
            darkest.push_back(lowest);
        }
        const auto [least, most] = std::minmax_element(darkest.begin(), darkest.end());
        EXPECT_GT(*most - *least, 20) << "grain along the line, where a plain line is even";
    }
}

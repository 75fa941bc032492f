#include "figures/figure_scene.h"
#include "figures/random.h"
#include "framework/render/frame_buffer.h"
#include "framework/render/gl_batch.h"
#include "framework/render/gl_renderer.h"
#include "framework/midi/midi_input.h"
#include "tests/figures/stage_clock.h"
#include "tests/shared_window.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

// Pixels of the bound frame buffer that are not the white background.
int markedPixels() {
    glFinish();
    std::vector<uint8_t> rgba(kWidth * kHeight * 4);
    GLBatch::flushCurrent();
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    int marked = 0;
    for (std::size_t i = 0; i < rgba.size(); i += 4) marked += rgba[i] < 250 || rgba[i + 1] < 250 || rgba[i + 2] < 250;
    return marked;
}

// The pixel of a virtual-screen point, zoomed as figures are.
bool markedAt(Vec2 p, float zoom) {
    float x = ((p.x - 320.0f) / zoom + 320.0f) * kWidth / 640.0f;
    float y = ((p.y - 240.0f) / zoom + 240.0f) * kHeight / 480.0f;
    uint8_t rgba[4] = {};
    GLBatch::flushCurrent();
    glReadPixels(static_cast<int>(x), kHeight - 1 - static_cast<int>(y), 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return rgba[1] < 200;
}

using FigureSceneGLTest = StageClockTest;

}  // namespace

TEST_F(FigureSceneGLTest, TriggeredFiguresAndBranchesShowOnTheBackground) {
    if (!openSharedWindow()) GTEST_SKIP() << "no OpenGL window could be opened";
    MidiInput midi;
    seedRandom(1);
    FigureScene scene(midi, false);
    GLRenderer renderer(kWidth, kHeight);
    // Drawn off screen: what the window shows may lag while the display is
    // busy, a frame buffer's pixels are exactly what was drawn.
    FrameBuffer target(1024, 1024, kWidth, kHeight);
    target.bind();

    setSceneTime(15000);
    renderer.clear(1, 1, 1);
    scene.frame(renderer);
    EXPECT_EQ(markedPixels(), 0) << "nothing started yet";

    for (int code : {5, 2, 3, 6, 10, 15, 16}) scene.branchState().onEvent(code);
    setSceneTime(15500);
    renderer.clear(1, 1, 1);
    scene.frame(renderer);
    EXPECT_GT(markedPixels(), 200);
    // The two moving roots: red blobs where their tips are.
    for (int i = 0; i < 2; ++i) EXPECT_TRUE(markedAt(scene.branchGrowth().inPlay()[i]->tip(), 4.5f)) << i;
    target.unbind();
}

#include "framework/render/frame_bitmap.h"
#include "framework/render/gl_batch.h"
#include "framework/render/gl_renderer.h"
#include "framework/render/software_renderer.h"
#include "tests/shared_window.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using Outline = std::vector<std::pair<float, float>>;

void draw(Renderer& renderer, float r, float g, float b, const Outline& corners) {
    renderer.color(r, g, b, 1);
    renderer.begin(Renderer::Polygon);
    for (auto [x, y] : corners) renderer.vertex(x, y, 0);
    renderer.end();
}

void drawScene(Renderer& renderer) {
    draw(renderer, 1, 0, 0, {{30.3f, 20.7f}, {20.2f, 400.1f}, {610.6f, 300.4f}});
    draw(renderer, 0, 1, 0, {{100.25f, 100.6f}, {300.7f, 80.2f}, {340.1f, 250.9f}, {90.4f, 260.3f}});
    draw(renderer, 0, 0, 1, {{400.5f, 300.5f}, {420.4f, 470.2f}, {630.9f, 420.6f}, {600.3f, 310.8f}, {500.1f, 290.2f}});
    draw(renderer, 1, 1, 0, {{-50.5f, 440.2f}, {200.3f, 500.7f}, {-10.1f, 520.4f}});
}

}  // namespace

// The same outlines drawn by OpenGL onto a 640 x 480 viewport and by the
// software renderer into a frame: they may differ only where an edge runs
// within OpenGL's sub-pixel precision of a pixel centre.
TEST(SoftwareRendererGL, FillsTheSamePixelsAsOpenGL) {
    if (!openSharedWindow()) GTEST_SKIP() << "no OpenGL window could be opened";
    glViewport(0, 0, 640, 480);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_POLYGON_SMOOTH);
    GLRenderer gl(640, 480);
    gl.clear(0, 0, 0);
    drawScene(gl);
    glFinish();
    std::vector<uint32_t> screen(640 * 480);
    GLBatch::flushCurrent();
    glReadPixels(0, 0, 640, 480, GL_BGRA, GL_UNSIGNED_BYTE, screen.data());
    glViewport(0, 0, 1024, 768);

    FrameBitmap frame(640, 480);
    SoftwareRenderer software(frame.pixels(), nullptr, 640, 480);
    software.setClipEnabled(false);
    drawScene(software);

    int differing = 0;
    int lit = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            uint32_t fromGl = screen[(479 - y) * 640 + x] & 0xFFFFFFu;
            uint32_t fromSoftware = frame.pixels()[y * 640 + x] & 0xFFFFFFu;
            differing += fromGl != fromSoftware;
            lit += fromSoftware != 0;
        }
    }
    EXPECT_GT(lit, 100000);
    EXPECT_LE(differing, 20);
}

// The GLRenderer's state calls held to what OpenGL makes of the same calls,
// values it refuses or clamps included: the same drawing through the
// renderer and through plain immediate mode inks the same pixels.

#include "framework/render/gl_batch.h"
#include "framework/render/gl_renderer.h"
#include "tests/framework/render/reference_gl_renderer.h"
#include "tests/shared_window.h"
#include "tests/window_capture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

struct StateCase {
    const char* name;
    // State calls, then primitives, through one renderer.
    std::function<void(Renderer&)> draw;
};

void line(Renderer& renderer, float x0, float y0, float x1, float y1) {
    renderer.begin(Renderer::Lines);
    renderer.vertex(x0, y0, 0);
    renderer.vertex(x1, y1, 0);
    renderer.end();
}

int inked(const std::vector<uint8_t>& rgb) {
    int count = 0;
    for (std::size_t i = 0; i < rgb.size(); i += 3) count += rgb[i] != 255 || rgb[i + 1] != 255 || rgb[i + 2] != 255;
    return count;
}

const StateCase kCases[] = {
    {"a width of 0 is refused and 3 stays, smooth",
     [](Renderer& r) {
         r.setBlending(true, false);
         r.setLineWidth(3);
         r.setLineWidth(0);
         r.color(0, 0, 0, 1);
         line(r, 100, 100.3f, 300, 100.3f);
         line(r, 100, 150, 300, 290);
     }},
    {"a negative width is refused and 2 stays, plain",
     [](Renderer& r) {
         r.setBlending(false, false);
         r.setLineWidth(2);
         r.setLineWidth(-1);
         r.color(0, 0, 0, 1);
         line(r, 100, 100.3f, 300, 100.3f);
         line(r, 100, 150, 300, 290);
     }},
    {"widths beyond the driver's widest are drawn at its widest",
     [](Renderer& r) {
         r.color(0, 0, 0, 1);
         r.setLineWidth(300);
         r.setBlending(false, false);
         line(r, 50, 240.3f, 250, 240.3f);
         r.setBlending(true, false);
         line(r, 400, 40, 420, 440);
     }},
    {"stipple factors are held to 1..256",
     [](Renderer& r) {
         r.setBlending(false, false);
         r.color(0, 0, 0, 1);
         r.setLineStipple(true, 0, 0x0F0F);
         line(r, 10, 50.3f, 630, 50.3f);
         r.setLineStipple(true, -5, 0x0F0F);
         line(r, 10, 60.3f, 630, 60.3f);
         r.setLineStipple(true, 300, 0x0001);
         line(r, 0, 70.3f, 640, 70.3f);
         r.setBlending(true, false);
         r.setLineStipple(true, 0, 0x0F0F);
         line(r, 10, 80.3f, 630, 85.3f);
         r.setLineStipple(false, 1, 0xFFFF);
     }},
    {"colours beyond 0..1 are held to it",
     [](Renderer& r) {
         r.setBlending(true, false);
         r.color(2, -1, 0.5f, 1.5f);
         r.begin(Renderer::Polygon);
         r.vertex(50, 50, 0);
         r.vertex(200, 50, 0);
         r.color(-3, 4, 0.25f, -0.5f);
         r.vertex(200, 200, 0);
         r.vertex(50, 200, 0);
         r.end();
         r.setLineWidth(2);
         r.color(0.2f, 7, -2, 0.8f);
         line(r, 300, 50, 500, 300);
     }},
};

}  // namespace

TEST(GLRendererState, DrawsWhatOpenGLMakesOfTheSameCalls) {
    if (!openSharedWindow()) GTEST_SKIP() << "no OpenGL window could be opened";
    GLRenderer renderer(1024, 768);
    ReferenceGLRenderer reference;
    for (const StateCase& c : kCases) {
        SCOPED_TRACE(c.name);
        renderer.setLineWidth(1);
        renderer.clear(1, 1, 1);
        c.draw(renderer);
        const float rendererWidth = renderer.lineWidth();
        const std::vector<uint8_t> batched = windowPixels();

        GLBatch::beginRawCurrent();
        reference.setLineWidth(1);
        reference.clear(1, 1, 1);
        c.draw(reference);
        const float driverWidth = reference.lineWidth();
        const std::vector<uint8_t> drawn = windowPixels();
        GLBatch::endRawCurrent();

        EXPECT_EQ(rendererWidth, driverWidth);
        EXPECT_EQ(inked(batched), inked(drawn));
        int worst = 0;
        for (std::size_t i = 0; i < drawn.size(); ++i) worst = std::max(worst, std::abs(drawn[i] - batched[i]));
        EXPECT_LE(worst, 2);
    }
}

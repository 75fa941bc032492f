#include "framework/render/frame_bitmap.h"
#include "framework/render/frame_buffer.h"
#include "framework/render/gl_batch.h"
#include "framework/render/gl_renderer.h"
#include "framework/render/image.h"
#include "framework/video/frame_capture.h"
#include "framework/window/gl_window.h"
#include "tests/shared_window.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <vector>

// What makes the batch draw, what it reads again and what it may leave out,
// each seen in the picture: every scene is drawn once through the batch and
// once through the driver's own drawing (between beginRaw and endRaw, where
// the renderer's state calls reach OpenGL at once), and the two must match.

namespace {

using Pixels = std::vector<unsigned char>;

enum class Through { Batch, Driver };

struct Point {
    float x, y;  // virtual units
    float u = 0.0f, v = 0.0f;
};

struct Rgba {
    float r, g, b, a;
};

// A filled outline or line pairs in one colour, drawn the way asked.
void draw(GLRenderer& renderer, Through through, int primitive, Rgba color, const std::vector<Point>& points) {
    if (through == Through::Batch) {
        renderer.color(color.r, color.g, color.b, color.a);
        renderer.begin(primitive);
        for (const Point& p : points) {
            renderer.texCoord(p.u, p.v);
            renderer.vertex(p.x, p.y, 0);
        }
        renderer.end();
        return;
    }
    glColor4f(color.r, color.g, color.b, color.a);
    glBegin(primitive == Renderer::Lines ? GL_LINES : GL_POLYGON);
    for (const Point& p : points) {
        glTexCoord2f(p.u, p.v);
        glVertex3f(p.x, p.y, 0);
    }
    glEnd();
}

void fill(GLRenderer& renderer, Through through, Rgba color, float x0, float y0, float x1, float y1) {
    draw(renderer, through, Renderer::Polygon, color, {{x0, y0, 0, 0}, {x1, y0, 1, 0}, {x1, y1, 1, 1}, {x0, y1, 0, 1}});
}

// OpenGL drawn or set by others: around it the batch goes raw, unless the
// whole scene is the driver's already.
template <typename Work>
void outside(Through through, Work&& work) {
    if (through == Through::Batch) GLBatch::beginRawCurrent();
    work();
    if (through == Through::Batch) GLBatch::endRawCurrent();
}

Pixels readPixels(GLenum buffer) {
    GLBatch::flushCurrent();
    glReadBuffer(buffer);
    Pixels rgba(1024 * 768 * 4);
    glReadPixels(0, 0, 1024, 768, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glReadBuffer(GL_BACK);
    return rgba;
}

// Pixels whose colours differ by more than tolerance levels.
int differing(const Pixels& a, const Pixels& b, int tolerance) {
    int count = 0;
    for (std::size_t pixel = 0; pixel < a.size(); pixel += 4) {
        bool differs = false;
        for (std::size_t channel = pixel; channel < pixel + 3; ++channel) {
            differs = differs || std::abs(a[channel] - b[channel]) > tolerance;
        }
        count += differs ? 1 : 0;
    }
    return count;
}

class GLBatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!openSharedWindow()) GTEST_SKIP() << "no OpenGL window could be opened";
        // The virtual screen's projection is set on the first primitive.
        renderer.begin(Renderer::Polygon);
        renderer.end();
    }

    // The window after the scene, drawn the way asked.
    template <typename Scene>
    Pixels drawn(Through through, Scene&& scene) {
        if (through == Through::Driver) GLBatch::beginRawCurrent();
        scene(through);
        if (through == Through::Driver) GLBatch::endRawCurrent();
        return readPixels(GL_BACK);
    }

    GLRenderer renderer{1024, 768};
};

}  // namespace

// Blending on and off, the switch between its two functions, and another
// texture, each with primitives pending: those must be drawn with what held
// when they were given.
TEST_F(GLBatchTest, ABlendingOrTextureChangeDrawsThePrimitivesGivenBefore) {
    uint32_t red[4] = {0xFFFF0000u, 0xFFFF0000u, 0xFFFF0000u, 0xFFFF0000u};
    uint32_t green[4] = {0xFF00FF00u, 0xFF00FF00u, 0xFF00FF00u, 0xFF00FF00u};
    Image redImage(red, 2, 2, false);
    Image greenImage(green, 2, 2, false);
    renderer.setTexture(&redImage);
    renderer.setTexture(&greenImage);
    auto scene = [&](Through through) {
        renderer.setTexturing(false);
        renderer.setBlending(false, false);
        renderer.clear(0.2f, 0.3f, 0.4f);
        // Opaque, with an alpha of its own for the saturating function.
        fill(renderer, through, {0.9f, 0.8f, 0.1f, 0.7f}, 0, 0, 640, 480);
        renderer.setBlending(true, false);
        fill(renderer, through, {0.1f, 0.2f, 0.9f, 0.6f}, 40, 40, 200, 200);
        renderer.setBlending(true, true);
        fill(renderer, through, {0.8f, 0.1f, 0.3f, 0.6f}, 120, 120, 280, 280);
        renderer.setBlending(true, false);
        fill(renderer, through, {0.1f, 0.7f, 0.3f, 0.6f}, 240, 40, 400, 200);
        renderer.setBlending(false, false);
        fill(renderer, through, {0.6f, 0.1f, 0.7f, 0.6f}, 320, 120, 480, 280);
        renderer.setTexturing(true);
        renderer.setTexture(&redImage);
        fill(renderer, through, {1, 1, 1, 1}, 40, 300, 200, 460);
        renderer.setTexture(&greenImage);
        fill(renderer, through, {1, 1, 1, 1}, 240, 300, 400, 460);
        renderer.setTexturing(false);
    };
    const Pixels batched = drawn(Through::Batch, scene);
    EXPECT_EQ(differing(batched, drawn(Through::Driver, scene), 0), 0);
}

// Everything drawn or read outside the batch sees what was given before it:
// a clear, raw drawing (after which the batch takes up the state it left),
// a frame capture, a frame buffer bound and unbound, and the buffer swap.
TEST_F(GLBatchTest, DrawingReadingAndSwappingOutsideSeeWhatWasGivenBefore) {
    FrameBuffer layer(1024, 1024);
    // Unbinding leaves the projection to the one who bound.
    auto unbindLayer = [&layer] {
        layer.unbind();
        glOrtho(0, 640, 480, 0, -1, 1000);
        glMatrixMode(GL_MODELVIEW);
    };
    FrameBitmap captured[2] = {{1024, 768}, {1024, 768}};
    Pixels windows[2];
    Pixels layers[2];
    auto scene = [&](Through through) {
        const int pass = through == Through::Batch ? 0 : 1;
        renderer.setBlending(false, false);
        renderer.setLineWidth(1);
        layer.bind();
        renderer.clear(0, 0, 0);
        unbindLayer();
        fill(renderer, through, {1, 0, 0, 1}, 0, 0, 640, 480);
        renderer.clear(0.1f, 0.1f, 0.1f);

        fill(renderer, through, {0, 1, 0, 1}, 40, 40, 200, 200);
        outside(through, [] {
            glColor4f(0, 0, 1, 1);
            glBegin(GL_QUADS);
            glVertex3f(120, 120, 0);
            glVertex3f(280, 120, 0);
            glVertex3f(280, 280, 0);
            glVertex3f(120, 280, 0);
            glEnd();
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            glLineWidth(7);
        });
        // Horizontal, its edges and ends clear of pixel centres.
        draw(renderer, through, Renderer::Lines, {1, 1, 1, 0.5f}, {{20, 180.15625f}, {620, 180.15625f}});
        captureGlFrame(1024, 768, captured[pass]);

        // Blending is off only if the batch knew the raw drawing turned it on.
        renderer.setBlending(false, false);
        fill(renderer, through, {1, 1, 0, 0.5f}, 300, 40, 460, 200);
        layer.bind();
        fill(renderer, through, {0, 1, 1, 1}, 0, 0, 320, 240);
        unbindLayer();
        windows[pass] = readPixels(GL_BACK);
        glBindTexture(GL_TEXTURE_2D, layer.textureId());
        GLBatch::current().forgetBoundTexture();
        layers[pass].resize(1024 * 1024 * 4);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, layers[pass].data());

        fill(renderer, through, {1, 0, 1, 1}, 300, 300, 460, 460);
        GLWindow::pump();
        // Behind the batch's back: what it still held would land on this.
        glClearColor(0.3f, 0.3f, 0.3f, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    };
    const Pixels batched = drawn(Through::Batch, scene);
    EXPECT_EQ(differing(batched, drawn(Through::Driver, scene), 0), 0);
    EXPECT_TRUE(std::equal(captured[0].pixels(), captured[0].pixels() + 1024 * 768, captured[1].pixels()));
    EXPECT_EQ(differing(windows[0], windows[1], 0), 0);
    EXPECT_EQ(differing(layers[0], layers[1], 0), 0);
}

// After a flush the matrices and the viewport may change: the batch reads
// them again, for what it works out in window pixels itself (what lies
// beyond an edge, smooth lines' coverage, figures of a pixel or two) as for
// what the driver transforms.
TEST_F(GLBatchTest, MatricesAndViewportAreReadAgainAfterAFlush) {
    auto figures = [&](Through through) {
        fill(renderer, through, {0.2f, 0.1f, 0.5f, 0.8f}, 20, 20, 90, 60);
        // Beyond the left edge until the view moves.
        fill(renderer, through, {0.7f, 0.1f, 0.1f, 0.9f}, -60, 100, -20, 140);
        draw(renderer, through, Renderer::Lines, {0.1f, 0.1f, 0.1f, 0.9f},
             {{30, 200}, {300, 260}, {100, 80}, {103, 84}});
        for (int i = 0; i < 24; ++i) {
            const float x = 120.0f + 17.0f * static_cast<float>(i % 8);
            const float y = 300.0f + 23.0f * static_cast<float>(i / 8);
            const std::vector<Point> corners = {{x, y}, {x + 0.7f, y + 0.1f}, {x + 0.3f, y + 0.8f}};
            fill(renderer, through, {0.8f, 0.2f, 0.1f, 0.5f}, x, y, x + 0.7f, y + 0.6f);
            draw(renderer, through, Renderer::Lines, {0.1f, 0.0f, 0.3f, 1.0f},
                 {corners[0], corners[1], corners[1], corners[2], corners[2], corners[0]});
        }
    };
    auto scene = [&](Through through) {
        renderer.setBlending(true, false);
        renderer.setLineWidth(1.5f);
        renderer.clear(0.95f, 0.9f, 0.85f);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        figures(through);
        GLBatch::flushCurrent();
        glViewport(256, 96, 640, 480);
        glTranslatef(80, 30, 0);
        glScalef(1.25f, 1.25f, 1);
        figures(through);
        outside(through, [] {
            glViewport(0, 300, 768, 468);
            glLoadIdentity();
            glTranslatef(120, -40, 0);
        });
        figures(through);
        GLBatch::flushCurrent();
        glPopMatrix();
        glViewport(0, 0, 1024, 768);
        renderer.setLineWidth(1);
    };
    const Pixels batched = drawn(Through::Batch, scene);
    // A figure of a pixel or two is worked out whole, not blended segment by
    // segment as the driver does: up to a dozen levels apart where its dark
    // outline crosses its fill.
    EXPECT_EQ(differing(batched, drawn(Through::Driver, scene), 12), 0);
}

// A primitive whose alphas round to 0 in the frame buffer's 8 bits is left
// out where the blend then keeps the destination exactly: under both blend
// functions, not without blending. Forty layers of each make a change of a
// level per layer plain.
TEST_F(GLBatchTest, OnlyWhatTheBlendKeepsExactlyIsLeftOut) {
    const float alphas[] = {0.0f, 0.3f / 255, 0.49f / 255, 0.51f / 255, 1.0f / 255, 2.0f / 255};
    struct Row {
        bool blending, saturate, smooth;
    };
    const Row rows[] = {{false, false, false}, {true, false, false}, {true, false, true},
                        {true, true, false},   {true, true, true}};
    auto scene = [&](Through through) {
        renderer.setBlending(false, false);
        renderer.setLineWidth(1);
        renderer.clear(0, 0, 0);
        for (std::size_t row = 0; row < std::size(rows); ++row) {
            // Blending comes with smooth lines.
            renderer.setBlending(rows[row].blending, rows[row].saturate);
            if (!rows[row].smooth) renderer.setSmooth(false);
            for (int layer = 0; layer < 40; ++layer) {
                for (std::size_t column = 0; column < std::size(alphas); ++column) {
                    const Rgba white{1, 1, 1, alphas[column]};
                    const float x = 20.0f + 100.0f * static_cast<float>(column);
                    const float y = 20.0f + 90.0f * static_cast<float>(row);
                    fill(renderer, through, white, x, y, x + 80, y + 40);
                    draw(renderer, through, Renderer::Lines, white, {{x, y + 60.15625f}, {x + 80, y + 60.15625f}});
                }
            }
        }
    };
    const Pixels batched = drawn(Through::Batch, scene);
    EXPECT_EQ(differing(batched, drawn(Through::Driver, scene), 0), 0);
}

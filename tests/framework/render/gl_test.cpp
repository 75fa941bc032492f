#include "framework/render/frame_buffer.h"
#include "framework/render/gl_batch.h"
#include "framework/render/gl_renderer.h"
#include "framework/render/image.h"
#include "platform/gl_surface.h"
#include "tests/shared_window.h"

#include <GL/glew.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

struct Rgb {
    int r, g, b;
};

Rgb pixelAt(int x, int yFromTop) {
    unsigned char rgba[4] = {};
    GLBatch::flushCurrent();
    glReadPixels(x, 767 - yFromTop, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return {rgba[0], rgba[1], rgba[2]};
}

void drawRect(Renderer& renderer, float x0, float y0, float x1, float y1) {
    renderer.begin(Renderer::Polygon);
    renderer.vertex(x0, y0, 0);
    renderer.vertex(x1, y0, 0);
    renderer.vertex(x1, y1, 0);
    renderer.vertex(x0, y1, 0);
    renderer.end();
}

class GLTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!openSharedWindow()) GTEST_SKIP() << "no OpenGL window could be opened";
    }
    GLRenderer renderer{1024, 768};
};

}  // namespace

TEST_F(GLTest, WindowOpensAtTheTopLeftCorner) {
    int x = -1;
    int y = -1;
    SDL_GetWindowPosition(host::surfaceWindow(), &x, &y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
}

TEST_F(GLTest, ClearsAndMapsTheVirtualScreenOntoTheWindow) {
    renderer.clear(1, 0, 0);
    Rgb cleared = pixelAt(512, 384);
    EXPECT_EQ(cleared.r, 255);
    EXPECT_EQ(cleared.g, 0);

    renderer.color(0, 1, 0, 1);
    drawRect(renderer, 0, 0, 320, 240);
    glFinish();
    Rgb topLeft = pixelAt(100, 100);
    Rgb bottomRight = pixelAt(900, 700);
    EXPECT_EQ(topLeft.g, 255) << "virtual (0,0)-(320,240) is the top left quarter";
    EXPECT_EQ(topLeft.r, 0);
    EXPECT_EQ(bottomRight.r, 255);
    Rgb justInside = pixelAt(505, 378);
    Rgb justOutside = pixelAt(518, 390);
    EXPECT_EQ(justInside.g, 255);
    EXPECT_EQ(justOutside.g, 0);
}

TEST_F(GLTest, UnknownPrimitiveDrawsNothingAndLinesDraw) {
    renderer.clear(0, 0, 0);
    renderer.color(1, 1, 1, 1);
    renderer.begin(32);
    renderer.vertex(0, 0, 0);
    renderer.vertex(640, 0, 0);
    renderer.vertex(640, 480, 0);
    renderer.end();
    renderer.setLineWidth(3.0f);
    EXPECT_FLOAT_EQ(renderer.lineWidth(), 3.0f);
    renderer.begin(Renderer::Lines);
    renderer.vertex(0, 240, 0);
    renderer.vertex(640, 240, 0);
    renderer.end();
    glFinish();
    EXPECT_EQ(pixelAt(300, 384).r, 255);
    EXPECT_EQ(pixelAt(300, 300).r, 0);
}

TEST_F(GLTest, TexturesUploadOnceAndDrawInBgraOrder) {
    uint32_t pixels[4] = {0xFF0000FFu, 0xFF0000FFu, 0xFF0000FFu, 0xFF0000FFu};
    Image image(pixels, 2, 2, false);
    renderer.setTexture(&image);
    GLint first = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &first);
    renderer.setTexture(&image);
    GLint second = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &second);
    EXPECT_EQ(first, second);
    EXPECT_NE(first, 0);

    renderer.clear(0, 0, 0);
    renderer.color(1, 1, 1, 1);
    renderer.begin(Renderer::Polygon);
    renderer.texCoord(0, 0);
    renderer.vertex(0, 0, 0);
    renderer.texCoord(1, 0);
    renderer.vertex(640, 0, 0);
    renderer.texCoord(1, 1);
    renderer.vertex(640, 480, 0);
    renderer.texCoord(0, 1);
    renderer.vertex(0, 480, 0);
    renderer.end();
    glFinish();
    Rgb centre = pixelAt(512, 384);
    EXPECT_EQ(centre.b, 255) << "0xFF0000FF is blue in ARGB";
    EXPECT_EQ(centre.r, 0);
    glDisable(GL_TEXTURE_2D);
}

TEST_F(GLTest, FrameBufferRoundTrip) {
    renderer.clear(0, 0, 0);
    FrameBuffer target(1024, 1024);
    EXPECT_FLOAT_EQ(target.uScale(), 1.0f);
    EXPECT_FLOAT_EQ(target.vScale(), 1.0f);

    target.bind();
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor4f(1, 1, 0, 1);
    glBegin(GL_QUADS);
    glVertex3f(0, 0, 0);
    glVertex3f(320, 0, 0);
    glVertex3f(320, 240, 0);
    glVertex3f(0, 240, 0);
    glEnd();
    target.unbind();

    std::vector<unsigned char> texels(1024 * 1024 * 4);
    glBindTexture(GL_TEXTURE_2D, target.textureId());
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    auto texel = [&](int x, int row) { return &texels[(static_cast<size_t>(row) * 1024 + x) * 4]; };
    EXPECT_EQ(texel(100, 1000)[0], 255) << "virtual top left lands in the texture's top rows";
    EXPECT_EQ(texel(100, 1000)[2], 0);
    EXPECT_EQ(texel(900, 100)[2], 255);

    target.drawFullscreen();
    glFinish();
    Rgb topLeft = pixelAt(100, 100);
    Rgb bottomRight = pixelAt(900, 700);
    EXPECT_EQ(topLeft.r, 255);
    EXPECT_EQ(topLeft.g, 255);
    EXPECT_EQ(bottomRight.b, 255);
    EXPECT_EQ(bottomRight.r, 0);

    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 1024) << "unbind gives the window's viewport back";
    EXPECT_EQ(viewport[3], 768);
}

namespace {

// The driver's smooth line, as measured on it: coverage across is
// halfWidth + 0.5 - |distance| (width at least 1), along min(distance from
// either end) + 0.5, both held to 0..1 and multiplied; a line shorter than a
// pixel is weakened by 2 length / (length + 1). Window pixels, y up.
double smoothLineCoverage(double px, double py, double x0, double y0, double x1, double y1, double width) {
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    const double length = std::sqrt(dx * dx + dy * dy);
    if (length == 0.0) return 0.0;
    const double along = ((px - x0) * dx + (py - y0) * dy) / length;
    const double across = (-(px - x0) * dy + (py - y0) * dx) / length;
    const double halfWidth = std::max(width, 1.0) / 2.0;
    const double coverage = std::clamp(halfWidth + 0.5 - std::abs(across), 0.0, 1.0) *
                            std::clamp(std::min(along, length - along) + 0.5, 0.0, 1.0);
    return length < 1.0 ? coverage * 2.0 * length / (length + 1.0) : coverage;
}

std::vector<unsigned char> windowReds() {
    GLBatch::flushCurrent();
    std::vector<unsigned char> rgba(1024 * 768 * 4);
    glReadPixels(0, 0, 1024, 768, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    std::vector<unsigned char> reds(1024 * 768);
    for (std::size_t i = 0; i < reds.size(); ++i) reds[i] = rgba[i * 4];
    return reds;
}

// Virtual units per window pixel: the window is 1024 wide for 640 units.
constexpr double kUnit = 640.0 / 1024.0;

}  // namespace

TEST_F(GLTest, BatchedLinesCoverWhatTheDriversLinesCoverAndInvisibleFillsAreLeftOut) {
    struct Line {
        double x0, y0, x1, y1, width;  // window pixels, y down
    };
    const Line lines[] = {{20.3, 30.7, 200.2, 90.1, 1.0}, {40.1, 140.2, 60.6, 300.9, 3.0},
                          {300.5, 100.5, 303.2, 101.1, 1.0}, {400.3, 200.2, 400.36, 200.25, 1.0},
                          {500.2, 300.4, 500.9, 300.6, 5.0}};
    renderer.setBlending(true, false);
    renderer.clear(0, 0, 0);
    renderer.color(1, 1, 1, 1);
    for (const Line& line : lines) {
        renderer.setLineWidth(static_cast<float>(line.width));
        renderer.begin(Renderer::Lines);
        renderer.vertex(static_cast<float>(line.x0 * kUnit), static_cast<float>(line.y0 * kUnit), 0);
        renderer.vertex(static_cast<float>(line.x1 * kUnit), static_cast<float>(line.y1 * kUnit), 0);
        renderer.end();
    }
    // Stippled: each run of set bits, a pixel of the major axis per bit, is a
    // line of its own.
    const double stippleY = 700.5;
    renderer.setLineWidth(1.0f);
    renderer.setLineStipple(true, 1, 0x0F0F);
    renderer.begin(Renderer::Lines);
    renderer.vertex(static_cast<float>(10.3 * kUnit), static_cast<float>(stippleY * kUnit), 0);
    renderer.vertex(static_cast<float>(50.3 * kUnit), static_cast<float>(stippleY * kUnit), 0);
    renderer.end();
    renderer.setLineStipple(false, 1, 0xFFFF);

    const std::vector<unsigned char> reds = windowReds();
    int worst = 0;
    for (int y = 0; y < 768; ++y) {
        for (int x = 0; x < 1024; ++x) {
            const double px = x + 0.5;
            const double py = y + 0.5;
            double coverage = 0.0;
            for (const Line& line : lines) {
                coverage = std::max(coverage, smoothLineCoverage(px, py, line.x0, 768 - line.y0, line.x1,
                                                                 768 - line.y1, line.width));
            }
            for (double run = 0; run < 40; run += 8) {
                coverage = std::max(coverage, smoothLineCoverage(px, py, 10.3 + run, 768 - stippleY, 14.3 + run,
                                                                 768 - stippleY, 1.0));
            }
            const int expected = static_cast<int>(std::lround(coverage * 255.0));
            const int drawn = reds[static_cast<std::size_t>(y) * 1024 + x];
            worst = std::max(worst, std::abs(drawn - expected));
            if (std::abs(drawn - expected) > 2) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << "): drawn " << drawn << ", expected " << expected;
                return;
            }
        }
    }
    EXPECT_LE(worst, 2);

    // A fill whose alpha rounds to 0 in 8 bits changes no pixel: not even the
    // driver's own drawing of it does, so leaving it out is exact.
    renderer.color(1, 1, 1, 0.4f / 255.0f);
    drawRect(renderer, 0, 0, 640, 480);
    EXPECT_EQ(windowReds(), reds);
    GLBatch::beginRawCurrent();
    glColor4f(1, 1, 1, 0.4f / 255.0f);
    glBegin(GL_QUADS);
    glVertex3f(0, 0, 0);
    glVertex3f(640, 0, 0);
    glVertex3f(640, 480, 0);
    glVertex3f(0, 480, 0);
    glEnd();
    GLBatch::endRawCurrent();
    EXPECT_EQ(windowReds(), reds);
}

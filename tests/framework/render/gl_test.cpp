#include "framework/render/frame_buffer.h"
#include "framework/render/gl_batch.h"
#include "framework/render/gl_renderer.h"
#include "framework/render/image.h"
#include "platform/gl_surface.h"
#include "tests/shared_window.h"

#include <GL/glew.h>
#include <SDL.h>
#include <gtest/gtest.h>

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

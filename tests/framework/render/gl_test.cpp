#include "framework/render/batch_shader.h"
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
#include <cstdint>
#include <random>
#include <utility>
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

// A quad from the origin through the driver's own drawing, in the colour
// set.
void drawRawQuad(float width, float height) {
    glBegin(GL_QUADS);
    glVertex3f(0, 0, 0);
    glVertex3f(width, 0, 0);
    glVertex3f(width, height, 0);
    glVertex3f(0, height, 0);
    glEnd();
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
    drawRawQuad(320, 240);
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

std::vector<unsigned char> windowPixels() {
    GLBatch::flushCurrent();
    std::vector<unsigned char> rgba(1024 * 768 * 4);
    glReadPixels(0, 0, 1024, 768, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

// Virtual units per window pixel: the window is 1024 wide for 640 units.
constexpr double kUnit = 640.0 / 1024.0;

// One kind of line the show draws, as the renderer's state sets it.
struct LineKind {
    const char* name;
    bool smooth;
    bool stipple;
    bool textured;
    bool saturate;
    double minWidth, maxWidth;
    double maxLength;  // window pixels
    // Lines of the outer cells cross the window's left and bottom edges.
    bool acrossEdges = false;
    // Every other line is neither stippled nor textured: unlike lines share
    // one draw and one program.
    bool alternate = false;
};

struct RandomLine {
    float x0, y0, x1, y1;  // virtual units
    float width;
    int stippleFactor;
    unsigned stipplePattern;
    float alpha;
};

// Lines in cells of their own, 10 by 8 cells of 96 window pixels, so that
// no two touch.
std::vector<RandomLine> randomLines(const LineKind& kind, std::mt19937& random) {
    auto uniform = [&random](double from, double to) { return std::uniform_real_distribution<double>(from, to)(random); };
    std::vector<RandomLine> lines;
    for (int cell = 0; cell < 80; ++cell) {
        const double length = uniform(0.05, kind.maxLength);
        const double angle = uniform(0.0, 6.283185307);
        const double shift = kind.acrossEdges ? -48 : 0;
        const double cx = (cell % 10) * 96 + 48 + shift + uniform(-3, 3);
        const double cy = (cell / 10) * 96 + 48 - shift + uniform(-3, 3);
        const double dx = std::cos(angle) * length / 2;
        const double dy = std::sin(angle) * length / 2;
        lines.push_back({static_cast<float>((cx - dx) * kUnit), static_cast<float>((cy - dy) * kUnit),
                         static_cast<float>((cx + dx) * kUnit), static_cast<float>((cy + dy) * kUnit),
                         static_cast<float>(uniform(kind.minWidth, kind.maxWidth)), 1 + static_cast<int>(random() % 2),
                         1 + static_cast<unsigned>(random() % 65535),
                         // Outlines pass alphas above 1; both sides hold them to 1.
                         kind.smooth ? static_cast<float>(uniform(0.2, 1.6)) : 1.0f});
    }
    return lines;
}

// A smooth grain, like the pencil's, so that texture coordinates spread a
// little differently show as small differences only.
std::vector<uint32_t> grain() {
    std::vector<uint32_t> pixels(64 * 64);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const auto level = static_cast<uint32_t>(128 + 100 * std::sin(x * 0.3) * std::cos(y * 0.2));
            pixels[static_cast<std::size_t>(y) * 64 + x] = (level << 24) | (level << 16) | (level << 8) | 0xFFu;
        }
    }
    return pixels;
}

}  // namespace

TEST_F(GLTest, BatchedLinesMatchTheDriversOwnLinesOfEveryKindTheShowDraws) {
    const LineKind kinds[] = {
        {"plain", false, false, false, false, 1.0, 1.0, 60},
        {"plain, any width", false, false, false, false, 0.1, 3.4, 60},
        {"plain, stippled", false, true, false, false, 1.0, 1.0, 60},
        {"smooth", true, false, false, false, 0.1, 3.0, 60},
        {"smooth, shorter than a few pixels", true, false, false, false, 0.1, 3.0, 3},
        {"smooth, wide", true, false, false, false, 3.0, 9.0, 60},
        {"smooth, stippled", true, true, false, false, 0.1, 3.0, 60},
        {"smooth, stippled, across the edges", true, true, false, false, 0.1, 3.0, 60, true},
        {"plain, stippled, across the edges", false, true, false, false, 1.0, 3.0, 60, true},
        {"smooth, textured, saturating", true, false, true, true, 1.0, 1.0, 30},
        {"smooth, stippled every other line, as the pen draws", true, true, false, false, 0.1, 3.0, 60, false, true},
        {"smooth, textured every other line", true, false, true, false, 1.0, 1.0, 30, false, true},
    };
    std::vector<uint32_t> texels = grain();
    Image texture(texels.data(), 64, 64, false);
    std::mt19937 random(7);
    for (const LineKind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        const std::vector<RandomLine> lines = randomLines(kind, random);
        const float background[4] = {0.8f, 0.7f, 0.6f, 0.3f};

        renderer.setBlending(kind.smooth, kind.saturate);
        renderer.setSmooth(kind.smooth);
        renderer.setTexture(&texture);
        // The layers the saturating lines go into hold alpha of their own.
        glClearColor(background[0], background[1], background[2], background[3]);
        glClear(GL_COLOR_BUFFER_BIT);
        auto plainOne = [&kind](std::size_t index) { return kind.alternate && index % 2 == 1; };
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const RandomLine& line = lines[i];
            renderer.setTexturing(kind.textured && !plainOne(i));
            renderer.setLineWidth(line.width);
            renderer.setLineStipple(kind.stipple && !plainOne(i), line.stippleFactor, line.stipplePattern);
            renderer.color(0.1f, 0.2f, 0.9f, line.alpha);
            renderer.begin(Renderer::Lines);
            renderer.texCoord(0, 0);
            renderer.vertex(line.x0, line.y0, 0);
            renderer.texCoord(1, 1);
            renderer.vertex(line.x1, line.y1, 0);
            renderer.end();
        }
        const std::vector<unsigned char> batched = windowPixels();

        // The same lines through the driver's fixed-function drawing.
        GLBatch::beginRawCurrent();
        glClear(GL_COLOR_BUFFER_BIT);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const RandomLine& line = lines[i];
            if (kind.textured && !plainOne(i)) {
                glEnable(GL_TEXTURE_2D);
            } else {
                glDisable(GL_TEXTURE_2D);
            }
            if (kind.stipple && !plainOne(i)) {
                glEnable(GL_LINE_STIPPLE);
            } else {
                glDisable(GL_LINE_STIPPLE);
            }
            glLineWidth(line.width);
            glLineStipple(line.stippleFactor, static_cast<GLushort>(line.stipplePattern));
            glColor4f(0.1f, 0.2f, 0.9f, line.alpha);
            glBegin(GL_LINES);
            glTexCoord2f(0, 0);
            glVertex3f(line.x0, line.y0, 0);
            glTexCoord2f(1, 1);
            glVertex3f(line.x1, line.y1, 0);
            glEnd();
        }
        GLBatch::endRawCurrent();
        const std::vector<unsigned char> drawn = windowPixels();

        // A plain line's pixel can flip where a pixel centre lies within the
        // driver's fixed-point rounding of the line or of its ends: a few
        // pixels (a wide line's whole row) in the 80 lines.
        int worst = 0;
        int flipped = 0;
        for (std::size_t pixel = 0; pixel < drawn.size(); pixel += 4) {
            int difference = 0;
            for (std::size_t channel = pixel; channel < pixel + 4; ++channel) {
                difference = std::max(difference, std::abs(drawn[channel] - batched[channel]));
            }
            if (difference > 2) ++flipped;
            worst = std::max(worst, difference);
        }
        if (kind.smooth) {
            EXPECT_LE(worst, 2);
        } else {
            EXPECT_LE(flipped, 6);
        }
    }
    renderer.setLineStipple(false, 1, 0xFFFF);
    renderer.setTexturing(false);
}

// The show reaches only some mixes of the programs' rules; every one builds.
TEST_F(GLTest, EveryMixOfLineRulesBuildsAProgram) {
    BatchShader shader;
    const float viewport[4] = {0, 0, 1024, 768};
    for (unsigned features = 0; features < BatchShader::kFeatureSets; ++features) {
        EXPECT_NO_THROW(shader.use(features, viewport)) << "features " << features;
    }
    glUseProgram(0);
}

TEST_F(GLTest, FiguresOfAPixelOrTwoLookAsTheDriverDrawsThem) {
    // A fill and its smooth outline, as the show's figures draw them, some
    // small enough to be drawn as one quad, some not, over one another.
    struct Figure {
        std::vector<std::pair<float, float>> corners;  // virtual units
        float fill[4];
        float outline[4];
        float width;
    };
    std::mt19937 random(11);
    auto uniform = [&random](double from, double to) { return std::uniform_real_distribution<double>(from, to)(random); };
    std::vector<Figure> figures;
    for (int i = 0; i < 3000; ++i) {
        Figure figure;
        const double cx = uniform(200, 440);
        const double cy = uniform(140, 340);
        const double radius = uniform(0.1, i % 10 == 0 ? 3.0 : 0.5);
        const int count = 3 + static_cast<int>(random() % 10);
        const double turn = uniform(0, 6.283185307);
        for (int k = 0; k < count; ++k) {
            const double angle = turn + 6.283185307 * k / count;
            figure.corners.emplace_back(static_cast<float>(cx + radius * std::cos(angle)),
                                        static_cast<float>(cy + radius * std::sin(angle)));
        }
        const auto red = static_cast<float>(uniform(0.5, 1.0));
        const auto green = static_cast<float>(uniform(0.0, 0.4));
        const auto alpha = static_cast<float>(uniform(0.02, 0.4));
        figure.fill[0] = red;
        figure.fill[1] = green;
        figure.fill[2] = 0.2f;
        figure.fill[3] = alpha;
        figure.outline[0] = red / 1.1f;
        figure.outline[1] = green / 1.1f;
        figure.outline[2] = 0.2f;
        figure.outline[3] = alpha * 5.0f;
        figure.width = static_cast<float>(uniform(0.3, 3.0));
        figures.push_back(figure);
    }

    renderer.setBlending(true, false);
    renderer.clear(0.95f, 0.9f, 0.85f);
    for (const Figure& figure : figures) {
        renderer.color(figure.fill[0], figure.fill[1], figure.fill[2], figure.fill[3]);
        renderer.begin(Renderer::Polygon);
        for (const auto& [x, y] : figure.corners) renderer.vertex(x, y, 0);
        renderer.end();
        renderer.color(figure.outline[0], figure.outline[1], figure.outline[2], figure.outline[3]);
        renderer.setLineWidth(figure.width);
        renderer.begin(Renderer::Lines);
        for (std::size_t k = 0; k < figure.corners.size(); ++k) {
            const auto& [x0, y0] = figure.corners[k];
            const auto& [x1, y1] = figure.corners[(k + 1) % figure.corners.size()];
            renderer.vertex(x0, y0, 0);
            renderer.vertex(x1, y1, 0);
        }
        renderer.end();
    }
    const std::vector<unsigned char> batched = windowPixels();

    GLBatch::beginRawCurrent();
    glClear(GL_COLOR_BUFFER_BIT);
    for (const Figure& figure : figures) {
        glColor4fv(figure.fill);
        glBegin(GL_POLYGON);
        for (const auto& [x, y] : figure.corners) glVertex3f(x, y, 0);
        glEnd();
        glColor4fv(figure.outline);
        glLineWidth(figure.width);
        glBegin(GL_LINES);
        for (std::size_t k = 0; k < figure.corners.size(); ++k) {
            const auto& [x0, y0] = figure.corners[k];
            const auto& [x1, y1] = figure.corners[(k + 1) % figure.corners.size()];
            glVertex3f(x0, y0, 0);
            glVertex3f(x1, y1, 0);
        }
        glEnd();
    }
    GLBatch::endRawCurrent();
    const std::vector<unsigned char> drawn = windowPixels();

    // The driver rounds the pixel to 8 bits after every segment, the quad
    // once: a few levels where many segments meet.
    int worst = 0;
    long total = 0;
    int touched = 0;
    for (std::size_t pixel = 0; pixel < drawn.size(); pixel += 4) {
        if (drawn[pixel] == batched[pixel] && drawn[pixel] == 242) continue;
        ++touched;
        for (std::size_t channel = pixel; channel < pixel + 3; ++channel) {
            const int difference = std::abs(drawn[channel] - batched[channel]);
            worst = std::max(worst, difference);
            total += difference;
        }
    }
    ASSERT_GT(touched, 10000);
    EXPECT_LE(worst, 10);
    EXPECT_LT(static_cast<double>(total) / (3.0 * touched), 0.5);
}

TEST_F(GLTest, InvisibleFillsAreLeftOutExactly) {
    renderer.setBlending(true, false);
    renderer.clear(0, 0, 0);
    renderer.color(1, 1, 1, 1);
    drawRect(renderer, 100, 100, 200, 200);
    const std::vector<unsigned char> before = windowPixels();

    // A fill whose alpha rounds to 0 in 8 bits changes no pixel: not even the
    // driver's own drawing of it does, so leaving it out is exact.
    renderer.color(1, 1, 1, 0.4f / 255.0f);
    drawRect(renderer, 0, 0, 640, 480);
    EXPECT_EQ(windowPixels(), before);
    GLBatch::beginRawCurrent();
    glColor4f(1, 1, 1, 0.4f / 255.0f);
    drawRawQuad(640, 480);
    GLBatch::endRawCurrent();
    EXPECT_EQ(windowPixels(), before);
}

// Fills and wide smooth lines around every edge of the view: inside, across,
// and wholly beyond it, some lines closer to an edge than their half width.
// What lies beyond an edge is left out of the batch; the picture is the
// driver's.
TEST_F(GLTest, PrimitivesAroundTheEdgesOfTheViewLookAsTheDriverDrawsThem) {
    std::mt19937 random(11);
    auto uniform = [&random](double from, double to) {
        return static_cast<float>(std::uniform_real_distribution<double>(from, to)(random));
    };
    struct Shape {
        float x, y;  // virtual units, near an edge
        float dx, dy;
        bool line;
    };
    std::vector<Shape> shapes;
    for (int i = 0; i < 200; ++i) {
        // Edge i % 4, from 20 units inside to 20 beyond it.
        const float across = uniform(-20, 20);
        const float along = uniform(0, i % 2 == 0 ? 640 : 480);
        const float edge[4][2] = {{-across, along}, {640 + across, along}, {along, -across}, {along, 480 + across}};
        shapes.push_back({edge[i % 4][0], edge[i % 4][1], uniform(1, 12), uniform(1, 12), i % 3 == 0});
    }
    auto drawAll = [&](auto&& fill, auto&& line) {
        for (const Shape& s : shapes) {
            if (s.line) {
                line(s);
            } else {
                fill(s);
            }
        }
    };

    renderer.setBlending(true, false);
    renderer.setSmooth(true);
    renderer.setLineWidth(6);
    renderer.clear(0.9f, 0.9f, 0.9f);
    renderer.color(0.2f, 0.1f, 0.6f, 0.5f);
    drawAll([&](const Shape& s) { drawRect(renderer, s.x, s.y, s.x + s.dx, s.y + s.dy); },
            [&](const Shape& s) {
                renderer.begin(Renderer::Lines);
                renderer.vertex(s.x, s.y, 0);
                renderer.vertex(s.x + s.dx, s.y + s.dy * 0.1f, 0);
                renderer.end();
            });
    const std::vector<unsigned char> batched = windowPixels();

    GLBatch::beginRawCurrent();
    glClear(GL_COLOR_BUFFER_BIT);
    glColor4f(0.2f, 0.1f, 0.6f, 0.5f);
    drawAll(
        [](const Shape& s) {
            glBegin(GL_POLYGON);
            glVertex3f(s.x, s.y, 0);
            glVertex3f(s.x + s.dx, s.y, 0);
            glVertex3f(s.x + s.dx, s.y + s.dy, 0);
            glVertex3f(s.x, s.y + s.dy, 0);
            glEnd();
        },
        [](const Shape& s) {
            glBegin(GL_LINES);
            glVertex3f(s.x, s.y, 0);
            glVertex3f(s.x + s.dx, s.y + s.dy * 0.1f, 0);
            glEnd();
        });
    GLBatch::endRawCurrent();
    const std::vector<unsigned char> drawn = windowPixels();
    renderer.setLineWidth(1);

    int worst = 0;
    for (std::size_t i = 0; i < drawn.size(); ++i) worst = std::max(worst, std::abs(drawn[i] - batched[i]));
    EXPECT_LE(worst, 2);
}

// Far more than the batches' storage holds between two waits for the driver,
// all in one frame: every window pixel of four blocks of 256 by 192 side by
// side gets a quad of a colour of its own, and then one polygon too large to
// be stored that way at all is drawn below them. Every batch must reach the
// picture whole.
TEST_F(GLTest, FramesOfManyBatchesDrawEveryOneWhole) {
    renderer.setBlending(false, false);
    renderer.setTexturing(false);
    renderer.clear(0, 0, 0);
    constexpr int kBlocks = 4;
    constexpr int kColumns = 256;
    constexpr int kRows = 192;
    const auto blockBlue = [](int block) { return 255 - 60 * block; };
    for (int block = 0; block < kBlocks; ++block) {
        for (int row = 0; row < kRows; ++row) {
            for (int column = 0; column < kColumns; ++column) {
                renderer.color(static_cast<float>(column) / 255.0f, static_cast<float>(row) / 255.0f,
                               static_cast<float>(blockBlue(block)) / 255.0f, 1.0f);
                const int x = block * kColumns + column;
                drawRect(renderer, static_cast<float>(x * kUnit), static_cast<float>(row * kUnit),
                         static_cast<float>((x + 1) * kUnit), static_cast<float>((row + 1) * kUnit));
            }
        }
    }
    constexpr int kCorners = 60000;
    renderer.color(1, 1, 0, 1);
    renderer.begin(Renderer::Polygon);
    for (int corner = 0; corner < kCorners; ++corner) {
        const double angle = 2.0 * M_PI * corner / kCorners;
        renderer.vertex(static_cast<float>(480 + 100 * std::cos(angle)),
                        static_cast<float>(300 + 100 * std::sin(angle)), 0);
    }
    renderer.end();

    const std::vector<unsigned char> pixels = windowPixels();
    int wrong = 0;
    for (int block = 0; block < kBlocks; ++block) {
        for (int row = 0; row < kRows; ++row) {
            for (int column = 0; column < kColumns; ++column) {
                const unsigned char* rgba = &pixels[((767 - row) * 1024 + block * kColumns + column) * 4];
                if (rgba[0] != column || rgba[1] != row || rgba[2] != blockBlue(block)) ++wrong;
            }
        }
    }
    EXPECT_EQ(wrong, 0);
    const Rgb middle = pixelAt(768, 480);
    EXPECT_EQ(middle.r, 255);
    EXPECT_EQ(middle.g, 255);
    EXPECT_EQ(middle.b, 0);
}

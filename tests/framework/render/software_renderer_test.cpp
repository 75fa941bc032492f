#include "framework/render/blend_table.h"
#include "framework/render/frame_bitmap.h"
#include "framework/render/image.h"
#include "framework/render/pixel_word.h"
#include "framework/render/software_renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <random>
#include <utility>
#include <vector>

namespace {

constexpr int canvasWidth = 64;
constexpr int canvasHeight = 48;

// A black frame with a band of marker words before and after it, to see any
// write outside the frame.
class GuardedFrame {
public:
    static constexpr int guard = 4096;
    static constexpr uint32_t marker = 0xA5A5A5A5u;

    GuardedFrame(int width, int height)
        : width_(width), words_(static_cast<std::size_t>(width) * height + 2 * guard, marker) {
        std::fill(pixels(), pixels() + static_cast<std::size_t>(width) * height, 0u);
    }
    uint32_t* pixels() { return words_.data() + guard; }
    uint32_t at(int x, int y) { return pixels()[y * width_ + x] & 0xFFFFFFu; }
    bool guardsIntact() const {
        for (int i = 0; i < guard; ++i) {
            if (words_[i] != marker || words_[words_.size() - 1 - i] != marker) return false;
        }
        return true;
    }
    int litCount(int height) {
        int count = 0;
        for (int i = 0; i < width_ * height; ++i) count += (pixels()[i] & 0xFFFFFFu) != 0;
        return count;
    }

private:
    int width_;
    std::vector<uint32_t> words_;
};

void outline(Renderer& renderer, int primitive, const std::vector<std::pair<float, float>>& corners) {
    renderer.begin(primitive);
    for (auto [x, y] : corners) renderer.vertex(x, y, 1.0f);
    renderer.end();
}

// Whether the point lies inside the convex outline listed either way round.
bool insideConvex(const std::vector<std::pair<double, double>>& corners, double px, double py) {
    int positive = 0;
    int negative = 0;
    for (std::size_t i = 0; i < corners.size(); ++i) {
        auto [ax, ay] = corners[i];
        auto [bx, by] = corners[(i + 1) % corners.size()];
        double cross = (bx - ax) * (py - ay) - (by - ay) * (px - ax);
        positive += cross > 0;
        negative += cross < 0;
    }
    return positive == 0 || negative == 0;
}

struct ShadedCorner {
    float x;
    float y;
    std::array<double, 3> rgb;
};

// The pixels of a convex Gouraud outline by the fill rule, worked out in
// floating point: -1 where nothing is drawn, else the expected 0xRRGGBB. Rows
// are sampled at their centres from the top corner's rounded y to the bottom
// corner's; down each side the corners' colours mix by height; along a row the
// left side's colour belongs to pixel round(left x) and changes by a gradient
// fixed for the outline, through the top (the leftmost corner on the topmost
// row), the bottom (the first corner on the lowest row) and the remaining one
// of the first three corners; the outlines tested have the top and the bottom
// among those three.
std::vector<int> expectedShading(const std::vector<ShadedCorner>& corners) {
    auto rowOf = [](double y) { return std::floor(y + 0.5); };
    std::size_t top = 0;
    std::size_t bottom = 0;
    for (std::size_t i = 1; i < corners.size(); ++i) {
        double row = rowOf(corners[i].y);
        if (row < rowOf(corners[top].y) || (row == rowOf(corners[top].y) && corners[i].x < corners[top].x)) top = i;
        if (row > rowOf(corners[bottom].y)) bottom = i;
    }
    std::size_t third = 3 - top - bottom;
    const ShadedCorner& a = corners[top];
    const ShadedCorner& b = corners[bottom];
    const ShadedCorner& c = corners[third];
    double share = (c.y - a.y) / (b.y - a.y);
    double across = c.x - (a.x + (b.x - a.x) * share);
    std::array<double, 3> gradient{};
    for (int k = 0; k < 3; ++k) gradient[k] = (c.rgb[k] - (a.rgb[k] + (b.rgb[k] - a.rgb[k]) * share)) / across;

    std::vector<int> pixels(canvasWidth * canvasHeight, -1);
    for (int row = static_cast<int>(rowOf(a.y)); row < rowOf(b.y); ++row) {
        double centre = row + 0.5;
        double leftX = 1e9;
        double rightX = -1e9;
        std::array<double, 3> leftRgb{};
        for (std::size_t i = 0; i < corners.size(); ++i) {
            const ShadedCorner& p = corners[i];
            const ShadedCorner& q = corners[(i + 1) % corners.size()];
            if ((centre - p.y) * (centre - q.y) >= 0) continue;
            double along = (centre - p.y) / (q.y - p.y);
            double x = p.x + (q.x - p.x) * along;
            rightX = std::max(rightX, x);
            if (x >= leftX) continue;
            leftX = x;
            for (int k = 0; k < 3; ++k) leftRgb[k] = p.rgb[k] + (q.rgb[k] - p.rgb[k]) * along;
        }
        int first = static_cast<int>(std::floor(leftX + 0.5));
        int end = static_cast<int>(std::floor(rightX + 0.5));
        for (int x = first; x < end; ++x) {
            int word = 0;
            for (int k = 0; k < 3; ++k) {
                double value = std::floor(leftRgb[k] + gradient[k] * (x - first) + 0.5);
                word = word << 8 | static_cast<int>(std::clamp(value, 0.0, 255.0));
            }
            pixels[row * canvasWidth + x] = word;
        }
    }
    return pixels;
}

}  // namespace

TEST(SoftwareRenderer, UnsupportedOperationsThrowZeroAndStateReadsBack) {
    FrameBitmap frame(canvasWidth, canvasHeight);
    SoftwareRenderer renderer(frame.pixels(), nullptr, canvasWidth, canvasHeight);
    auto throwsZero = [](auto call) {
        try {
            call();
        } catch (int code) {
            return code == 0;
        }
        return false;
    };
    EXPECT_TRUE(throwsZero([&] { renderer.clear(0, 0, 0); }));
    EXPECT_TRUE(throwsZero([&] { renderer.texCoord(0, 0); }));
    EXPECT_TRUE(throwsZero([&] { renderer.lineWidth(); }));
    EXPECT_TRUE(throwsZero([&] { renderer.setLineWidth(2); }));
    EXPECT_TRUE(renderer.isSmooth());
    renderer.setSmooth(false);
    EXPECT_FALSE(renderer.isSmooth());
    EXPECT_EQ(renderer.width(), canvasWidth);
    EXPECT_EQ(renderer.height(), canvasHeight);

    const BlendTable& table = blendTable();
    buildBlendTable();
    for (int b = 0; b < 256; ++b) {
        EXPECT_EQ(table[255][b], b);
        EXPECT_EQ(table[0][b], 0);
    }
    EXPECT_EQ(table[128][255], 128);
}

TEST(SoftwareRenderer, FlatOutlinesFillThePixelsWhoseCentresTheyCover) {
    GuardedFrame frame(canvasWidth, canvasHeight);
    SoftwareRenderer renderer(frame.pixels(), nullptr, canvasWidth, canvasHeight);
    renderer.setClipEnabled(false);
    renderer.color(1.0f, 0.5f, 0.0f, 0.3f);

    // Both windings of the same square fill it; end without vertices, primitive
    // 1 and unknown codes draw nothing.
    outline(renderer, Renderer::Polygon, {{10, 10}, {20, 10}, {20, 20}, {10, 20}});
    EXPECT_EQ(frame.litCount(canvasHeight), 100);
    EXPECT_EQ(frame.at(10, 10), 0xFF8000u) << "alpha is ignored, 127.5 rounds up";
    EXPECT_EQ(frame.at(19, 19), 0xFF8000u);
    EXPECT_EQ(frame.at(20, 19), 0u);
    EXPECT_EQ(frame.at(9, 10), 0u);
    outline(renderer, Renderer::Polygon, {{30, 10}, {30, 20}, {40, 20}, {40, 10}});
    EXPECT_EQ(frame.litCount(canvasHeight), 200);
    renderer.begin(Renderer::Polygon);
    renderer.end();
    outline(renderer, 1, {{0, 0}, {60, 0}, {60, 40}});
    outline(renderer, 32, {{0, 0}, {60, 0}, {60, 40}});
    outline(renderer, Renderer::Polygon, {{0, 30.2f}, {60, 30.4f}, {30, 30.1f}});
    EXPECT_EQ(frame.litCount(canvasHeight), 200) << "nothing more, nor from an outline on one row";

    // Random convex outlines of 3 to 6 corners, listed either way round,
    // against a point-in-outline test of each pixel centre; they reach past
    // every edge of the frame.
    std::mt19937 random(7);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    int mismatches = 0;
    for (int round = 0; round < 300; ++round) {
        std::fill(frame.pixels(), frame.pixels() + canvasWidth * canvasHeight, 0u);
        double centreX = -20 + 100 * unit(random);
        double centreY = -20 + 90 * unit(random);
        double radiusX = 2 + 60 * unit(random);
        double radiusY = 2 + 60 * unit(random);
        std::vector<double> angles(3 + round % 4);
        for (double& angle : angles) angle = 2 * M_PI * unit(random);
        std::sort(angles.begin(), angles.end());
        if (round % 2) std::reverse(angles.begin(), angles.end());
        std::vector<std::pair<double, double>> corners;
        renderer.begin(Renderer::Polygon);
        for (double angle : angles) {
            float x = static_cast<float>(centreX + radiusX * std::cos(angle));
            float y = static_cast<float>(centreY + radiusY * std::sin(angle));
            corners.push_back({x, y});
            renderer.vertex(x, y, 1.0f);
        }
        renderer.end();
        for (int y = 0; y < canvasHeight; ++y) {
            for (int x = 0; x < canvasWidth; ++x) {
                mismatches += insideConvex(corners, x + 0.5, y + 0.5) != (frame.at(x, y) != 0);
            }
        }
    }
    EXPECT_EQ(mismatches, 0);

    // Cut to the clip box, an outline over the whole frame fills the pixels
    // whose centres lie strictly inside it: x 7..56, y 5..42. Plain spans keep
    // the spare byte; translucent ones mix with the pixels below through the
    // blend table by the two weights.
    std::fill(frame.pixels(), frame.pixels() + canvasWidth * canvasHeight, 0x7F000000u);
    renderer.setClipEnabled(true);
    renderer.setFlatSpans(SoftwareRenderer::FlatSpans::Plain);
    renderer.color(0.2f, 0.4f, 0.6f, 1);
    outline(renderer, Renderer::Polygon, {{-5, -5}, {70, -5}, {70, 60}, {-5, 60}});
    EXPECT_EQ(frame.litCount(canvasHeight), 50 * 38);
    EXPECT_EQ(frame.pixels()[5 * canvasWidth + 7], 0x7F336699u);
    EXPECT_EQ(frame.at(56, 42), 0x336699u);
    EXPECT_EQ(frame.at(57, 42) | frame.at(56, 43) | frame.at(6, 5) | frame.at(7, 4), 0u);
    renderer.setFlatSpans(SoftwareRenderer::FlatSpans::Translucent);
    renderer.setTranslucency(200, 100);
    renderer.color(1, 1, 1, 1);
    outline(renderer, Renderer::Polygon, {{20, 10}, {30, 10}, {30, 20}, {20, 20}});
    auto share = [](int weight, int channel) {
        return static_cast<int>(weight / static_cast<double>(255.0f) * channel);
    };
    auto mixed = [&](int old) { return static_cast<uint32_t>(std::min(255, share(200, 255) + share(100, old))); };
    EXPECT_EQ(frame.pixels()[15 * canvasWidth + 25], 0x7F000000u | pixelWord(mixed(0x33), mixed(0x66), mixed(0x99)));
    EXPECT_EQ(frame.at(30, 15), 0x336699u);
    EXPECT_TRUE(frame.guardsIntact());
}

TEST(SoftwareRenderer, LinesAreWalkedAlongTheirLongerAxisAndClipped) {
    GuardedFrame frame(canvasWidth, canvasHeight);
    SoftwareRenderer renderer(frame.pixels(), nullptr, canvasWidth, canvasHeight);
    renderer.setSmooth(false);
    frame.pixels()[20 * canvasWidth + 30] = 0x7F000000u;

    // Clipped to x 7..57, y 5..43 by default: a level line loses its ends, a
    // line on the left edge or left of it draws nothing, a vertical line is
    // walked down its rows.
    outline(renderer, Renderer::Lines, {{0, 20}, {63, 20}, {7, 10}, {7, 30}, {2, 10}, {6, 30}, {40, 0}, {40, 47}});
    EXPECT_EQ(frame.at(7, 20), 0xFFFFFFu) << "the end cut at x = 7 rounds onto it";
    EXPECT_EQ(frame.at(6, 20), 0u);
    EXPECT_EQ(frame.at(57, 20), 0xFFFFFFu);
    EXPECT_EQ(frame.at(58, 20), 0u);
    EXPECT_EQ(frame.pixels()[20 * canvasWidth + 30], 0x7FFFFFFFu) << "lines leave the spare byte";
    EXPECT_EQ(frame.at(40, 5), 0xFFFFFFu);
    EXPECT_EQ(frame.at(40, 43), 0xFFFFFFu);
    EXPECT_EQ(frame.at(40, 4), 0u);
    EXPECT_EQ(frame.litCount(canvasHeight), 51 + 39 - 1);

    // Smooth lines through pixel centres cover their neighbours by half.
    std::fill(frame.pixels(), frame.pixels() + canvasWidth * canvasHeight, 0u);
    renderer.setSmooth(true);
    renderer.setClipEnabled(false);
    outline(renderer, Renderer::Lines, {{10, 30}, {50, 30}, {5, 5}, {5, 5}});
    EXPECT_EQ(frame.at(20, 30), 0xFFFFFFu);
    EXPECT_EQ(frame.at(20, 29), 0x7F7F7Fu);
    EXPECT_EQ(frame.at(20, 31), 0x7F7F7Fu);
    EXPECT_EQ(frame.at(5, 5), 0xFFFFFFu) << "a line of no length is one dot";
    EXPECT_EQ(frame.litCount(canvasHeight), 41 * 3 + 3);

    // The rasteriser's lines instead, hard when not smooth.
    std::fill(frame.pixels(), frame.pixels() + canvasWidth * canvasHeight, 0u);
    renderer.setRasterizerLines(true);
    renderer.setSmooth(false);
    renderer.color(0, 1, 0, 1);
    outline(renderer, Renderer::Lines, {{10, 30}, {50, 30}});
    EXPECT_EQ(frame.at(20, 30), 0x00FF00u);
    EXPECT_EQ(frame.litCount(canvasHeight), 41);
    EXPECT_TRUE(frame.guardsIntact());
}

TEST(SoftwareRenderer, GouraudOutlinesFollowTheirRule) {
    GuardedFrame frame(canvasWidth, canvasHeight);
    SoftwareRenderer renderer(frame.pixels(), nullptr, canvasWidth, canvasHeight);
    renderer.setClipEnabled(false);

    // A quad whose colours lie on no plane, listed both ways round: the
    // change along the rows comes from a different corner each time, and in
    // the first listing not from the one farthest across. The first listing
    // has the corner after the top on the right, and fills all the same.
    const ShadedCorner quad[4] = {{8.2f, 4.3f, {255, 0, 0}},
                                  {40.6f, 10.1f, {0, 255, 0}},
                                  {56.3f, 40.2f, {0, 0, 255}},
                                  {4.4f, 30.7f, {255, 255, 255}}};
    const int listings[2][4] = {{0, 1, 2, 3}, {0, 3, 2, 1}};
    for (int listing = 0; listing < 2; ++listing) {
        std::vector<ShadedCorner> corners;
        for (int index : listings[listing]) corners.push_back(quad[index]);
        std::fill(frame.pixels(), frame.pixels() + canvasWidth * canvasHeight, 0u);
        renderer.begin(Renderer::Polygon8);
        for (const ShadedCorner& corner : corners) {
            renderer.color(corner.rgb[0] / 255.0f, corner.rgb[1] / 255.0f, corner.rgb[2] / 255.0f, 1);
            renderer.vertex(corner.x, corner.y, 1);
        }
        renderer.end();
        std::vector<int> expected = expectedShading(corners);
        int misplaced = 0;
        int offColour = 0;
        for (int y = 0; y < canvasHeight; ++y) {
            for (int x = 0; x < canvasWidth; ++x) {
                uint32_t pixel = frame.at(x, y);
                int want = expected[y * canvasWidth + x];
                misplaced += (want >= 0) != (pixel != 0);
                if (want < 0) continue;
                for (int shift : {16, 8, 0}) {
                    offColour += std::abs(static_cast<int>((pixel >> shift) & 0xFF) - ((want >> shift) & 0xFF)) > 1;
                }
            }
        }
        EXPECT_EQ(misplaced, 0) << "listing " << listing;
        EXPECT_EQ(offColour, 0) << "listing " << listing;
    }
    EXPECT_TRUE(frame.guardsIntact());
}

TEST(SoftwareRenderer, TexturedOutlines) {
    GuardedFrame frame(canvasWidth, canvasHeight);
    SoftwareRenderer renderer(frame.pixels(), nullptr, canvasWidth, canvasHeight);
    renderer.setClipEnabled(false);

    // A 2 x 2 texture stretched over a square; without one, the colour.
    uint32_t texels[4] = {0xFF0000FFu, 0xFF00FF00u, 0xFFFF0000u, 0xFFFFFFFFu};
    Image image(texels, 2, 2, false);
    renderer.setTexture(&image);
    outline(renderer, Renderer::Polygon16, {{20, 10}, {20, 30}, {40, 30}, {40, 10}});
    EXPECT_EQ(frame.at(20, 10), 0x0000FFu);
    EXPECT_EQ(frame.at(29, 19), 0x0000FFu);
    EXPECT_EQ(frame.at(30, 19), 0x00FF00u);
    EXPECT_EQ(frame.at(29, 20), 0xFF0000u);
    EXPECT_EQ(frame.at(39, 29), 0xFFFFFFu);
    renderer.setTexture(nullptr);
    renderer.color(0, 1, 1, 1);
    outline(renderer, Renderer::Polygon16, {{20, 10}, {20, 30}, {40, 30}, {40, 10}});
    EXPECT_EQ(frame.at(39, 29), 0x00FFFFu);
    EXPECT_TRUE(frame.guardsIntact());
}

TEST(SoftwareRenderer, WildCoordinatesNeverWriteOutsideTheFrame) {
    GuardedFrame frame(canvasWidth, canvasHeight);
    GuardedFrame second(canvasWidth, canvasHeight);
    SoftwareRenderer renderer(frame.pixels(), second.pixels(), canvasWidth, canvasHeight);
    uint32_t texel = 0xFF123456u;
    Image image(&texel, 1, 1, false);
    renderer.setTexture(&image);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float infinity = std::numeric_limits<float>::infinity();
    const float specials[] = {nan, infinity, -infinity, 3e38f, -3e38f, 1e9f, -1e9f, 0.0f, 7.0f, 63.5f, 64.0f, 48.0f};
    std::mt19937 random(11);
    std::uniform_real_distribution<float> wide(-200.0f, 260.0f);
    std::uniform_int_distribution<int> pick(0, 15);
    const int primitives[] = {Renderer::Lines, Renderer::Polygon, Renderer::Polygon8, Renderer::Polygon16};
    auto coordinate = [&] {
        int which = pick(random);
        return which < 12 ? specials[which] : wide(random);
    };
    for (int round = 0; round < 4000; ++round) {
        renderer.setClipEnabled(round % 3 != 0);
        renderer.setSmooth(round % 2 == 0);
        renderer.setRasterizerLines(round % 5 == 0);
        if (round % 7 == 0) renderer.setClipBox(-100, 300, -50, 200);
        if (round % 7 == 3) renderer.setClipBox(7, canvasWidth - 7, 5, canvasHeight - 5);
        renderer.color(0.2f, 5.0f, round % 4 == 2 ? nan : -1.0f, 1.0f);
        renderer.begin(primitives[round % 4]);
        for (int i = 0; i < 2 + round % 6; ++i) renderer.vertex(coordinate(), coordinate(), 1.0f);
        renderer.end();
    }
    EXPECT_TRUE(frame.guardsIntact());

    // An outline with a NaN corner draws nothing; one far larger than the
    // frame fills all of it, clipped or not.
    std::fill(frame.pixels(), frame.pixels() + canvasWidth * canvasHeight, 0u);
    outline(renderer, Renderer::Polygon, {{0, 0}, {nan, 40}, {60, 40}});
    EXPECT_EQ(frame.litCount(canvasHeight), 0);
    renderer.setClipEnabled(false);
    outline(renderer, Renderer::Polygon, {{-1e30f, -1e30f}, {-1e30f, 1e30f}, {1e30f, 1e30f}, {1e30f, -1e30f}});
    EXPECT_EQ(frame.litCount(canvasHeight), canvasWidth * canvasHeight);
    EXPECT_TRUE(frame.guardsIntact());
    EXPECT_EQ(second.litCount(canvasHeight), 0) << "the second buffer only travels along";
    EXPECT_TRUE(second.guardsIntact());
}

#include "framework/blend_table.h"
#include "framework/frame_bitmap.h"
#include "framework/image.h"
#include "framework/software_renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <tuple>
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

}  // namespace

TEST(SoftwareRenderer, UnsupportedOperationsThrowZeroAndStateReadsBack) {
    FrameBitmap frame(canvasWidth, canvasHeight);
    SoftwareRenderer renderer(frame.pixels(), canvasWidth, canvasHeight);
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
    SoftwareRenderer renderer(frame.pixels(), canvasWidth, canvasHeight);
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
    EXPECT_TRUE(frame.guardsIntact());
}

TEST(SoftwareRenderer, LinesAreWalkedAlongTheirLongerAxisAndClipped) {
    GuardedFrame frame(canvasWidth, canvasHeight);
    SoftwareRenderer renderer(frame.pixels(), canvasWidth, canvasHeight);
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

TEST(SoftwareRenderer, ShadedAndTexturedOutlines) {
    GuardedFrame frame(canvasWidth, canvasHeight);
    SoftwareRenderer renderer(frame.pixels(), canvasWidth, canvasHeight);
    renderer.setClipEnabled(false);

    // Each corner keeps the colour it was given with; inside, the colours mix
    // as on a plane, both ways round and cut by the clip box.
    auto shaded = [&](bool reversed) {
        std::vector<std::tuple<float, float, float, float, float>> corners = {
            {0, 0, 1, 0, 0}, {64, 0, 0, 1, 0}, {0, 48, 0, 0, 1}};
        if (reversed) std::reverse(corners.begin(), corners.end());
        renderer.begin(Renderer::Polygon8);
        for (auto [x, y, r, g, b] : corners) {
            renderer.color(r, g, b, 1);
            renderer.vertex(x, y, 0);
        }
        renderer.end();
    };
    auto expectPlane = [&](int x, int y) {
        double g = (x + 0.5) / 64.0;
        double b = (y + 0.5) / 48.0;
        uint32_t pixel = frame.at(x, y);
        EXPECT_NEAR(static_cast<int>(pixel >> 16), (1 - g - b) * 255, 1) << x << "," << y;
        EXPECT_NEAR(static_cast<int>((pixel >> 8) & 0xFF), g * 255, 1) << x << "," << y;
        EXPECT_NEAR(static_cast<int>(pixel & 0xFF), b * 255, 1) << x << "," << y;
    };
    shaded(false);
    expectPlane(0, 0);
    expectPlane(30, 10);
    expectPlane(10, 35);
    std::fill(frame.pixels(), frame.pixels() + canvasWidth * canvasHeight, 0u);
    renderer.setClipEnabled(true);
    shaded(true);
    EXPECT_EQ(frame.at(6, 10), 0u);
    EXPECT_EQ(frame.at(10, 4), 0u);
    expectPlane(7, 5);
    expectPlane(30, 10);

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
    SoftwareRenderer renderer(frame.pixels(), canvasWidth, canvasHeight);
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
}

#include "framework/render/frame_bitmap.h"
#include "framework/render/pixel_routines.h"
#include "framework/render/pixel_word.h"
#include "framework/render/soft_rasterizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <vector>

namespace {

constexpr int width = 64;
constexpr int height = 48;

RasterVertex white(float x, float y) { return {x, y, 1, 1, 1, 1}; }

uint32_t rgb(const FrameBitmap& frame, int x, int y) { return frame.pixels()[y * frame.width() + x] & 0xFFFFFFu; }

int litCount(const FrameBitmap& frame) {
    int count = 0;
    for (int i = 0; i < frame.width() * frame.height(); ++i) count += (frame.pixels()[i] & 0xFFFFFFu) != 0;
    return count;
}

// The grey levels a white line leaves on black, worked out in floating point
// from the line rule itself. Hard lines step from round(start) to round(end)
// along the major axis and light floor(minor) at each step; antialiased ones
// step from floor(start) to floor(end) and weigh the pixels around
// floor(minor) by the profile entry for their distance d (in 1/32 pixel:
// the minor fraction's five bits + 16, less 32 per pixel), scaled by the slope
// table entry of the line's slope.
std::vector<int> expectedLine(double x0, double y0, double x1, double y1, bool antialiased, bool endPixel) {
    std::vector<int> levels(width * height, 0);
    bool xMajor = std::fabs(x1 - x0) > std::fabs(y1 - y0);
    double u0 = xMajor ? x0 : y0;
    double u1 = xMajor ? x1 : y1;
    double v0 = xMajor ? y0 : x0;
    double v1 = xMajor ? y1 : x1;
    auto startPixel = [antialiased](double u) { return static_cast<int>(std::floor(antialiased ? u : u + 0.5)); };
    int first = startPixel(u0);
    int last = startPixel(u1);
    int step = u1 >= u0 ? 1 : -1;
    int count = std::abs(last - first) + (antialiased || endPixel ? 1 : 0);

    double t = (std::min(31.0, std::floor(std::fabs((v1 - v0) / (u1 - u0)) * 32)) + 0.5) / 32;
    int slopeEntry = static_cast<int>(256 * 0.707106781 * std::sqrt(1 + t * t));
    auto profile = [](int d) {
        double distance = (d + 0.5) / 32 * 4 / 3;
        return static_cast<int>(256 / std::exp(distance * distance));
    };
    auto light = [&](int major, int minor, int level) {
        int x = xMajor ? major : minor;
        int y = xMajor ? minor : major;
        if (x >= 0 && x < width && y >= 0 && y < height) levels[y * width + x] = level;
    };
    for (int i = 0; i < count; ++i) {
        int major = first + step * i;
        double minor = v0 + (v1 - v0) * (major - u0) / (u1 - u0);
        int pixel = static_cast<int>(std::floor(minor));
        if (!antialiased) {
            light(major, pixel, 255);
            continue;
        }
        int fraction = static_cast<int>((minor - pixel) * 32);
        for (int across = -1; across <= 2; ++across) {
            int d = fraction + 16 - 32 * (across + 1);
            if (std::abs(d) < 48) light(major, pixel + across, profile(std::abs(d)) * slopeEntry / 256);
        }
    }
    return levels;
}

}  // namespace

// Lines whose ends and slopes are exact in binary, so that the fixed-point
// walk and the floating-point rule must agree on every pixel: both ways along
// each axis, a diagonal, and lines running off the frame.
TEST(SoftRasterizer, LinesLightThePixelsOfTheirRule) {
    struct Ends {
        float x0, y0, x1, y1;
    };
    const Ends lines[] = {
        {4.25f, 10.75f, 36.25f, 18.75f},   {50.5f, 30.125f, 18.5f, 22.125f}, {20.375f, 44.5f, 28.375f, 12.5f},
        {33.75f, 3.625f, 29.75f, 35.625f}, {2, 2, 18.5f, 18.5f},             {-10.5f, -3.25f, 40.5f, 9.5f},
        {60.5f, 20.25f, 76.5f, 52.25f},
    };
    FrameBitmap frame(width, height);
    SoftRasterizer rasterizer;
    rasterizer.init(frame.pixels(), width, height);
    for (int mode = 0; mode < 3; ++mode) {
        bool antialiased = mode == 2;
        bool endPixel = mode != 1;
        rasterizer.setMode(antialiased);
        rasterizer.setEndPixel(endPixel);
        for (const Ends& line : lines) {
            frame.clear(0, 0, 0);
            rasterizer.drawLine(white(line.x0, line.y0), white(line.x1, line.y1));
            std::vector<int> expected = expectedLine(line.x0, line.y0, line.x1, line.y1, antialiased, endPixel);
            int mismatches = 0;
            for (int i = 0; i < width * height; ++i) {
                uint32_t pixel = frame.pixels()[i] & 0xFFFFFFu;
                mismatches += pixel != static_cast<uint32_t>(expected[i] * 0x010101);
            }
            EXPECT_EQ(mismatches, 0) << "mode " << mode << ", line from " << line.x0 << "," << line.y0;
            EXPECT_GT(litCount(frame), 0);
        }
    }

    // Colours run from end to end; the spare byte stays. NaN and infinite ends
    // draw nothing.
    rasterizer.init(frame.pixels(), width, height);
    rasterizer.setMode(false);
    frame.clear(0, 0, 0);
    frame.pixels()[10 * width + 5] = 0x7F000000u;
    rasterizer.drawLine({5, 10, 1, 0, 0, 1}, {45, 10, 0, 0, 1, 1});
    EXPECT_EQ(frame.pixels()[10 * width + 5], 0x7FFF0000u);
    EXPECT_EQ(rgb(frame, 45, 10), 0x0000FFu);
    uint32_t halfWay = rgb(frame, 25, 10);
    EXPECT_NEAR(static_cast<int>(halfWay >> 16), 128, 1);
    EXPECT_EQ((halfWay >> 8) & 0xFF, 0u);
    EXPECT_NEAR(static_cast<int>(halfWay & 0xFF), 128, 1);
    float nan = std::numeric_limits<float>::quiet_NaN();
    rasterizer.drawLine(white(nan, 3), white(30, 3));
    rasterizer.drawLine(white(std::numeric_limits<float>::infinity(), 3), white(30, 3));
    EXPECT_EQ(litCount(frame), 41);
}

TEST(SoftRasterizer, TablesAndBlendModes) {
    const RasterTables& tables = SoftRasterizer::tables();
    EXPECT_EQ(tables.slope[0], 181);
    EXPECT_EQ(tables.slope[31], 254);
    const int profileHead[4] = {255, 255, 253, 250};
    EXPECT_TRUE(std::equal(profileHead, profileHead + 4, tables.profile.begin()));
    EXPECT_EQ(tables.profile[63], 0);
    const int rootHead[4] = {5, 9, 12, 14};
    EXPECT_TRUE(std::equal(rootHead, rootHead + 4, tables.root.begin()));
    EXPECT_EQ(tables.root[511], 180);

    FrameBitmap frame(width, height);
    SoftRasterizer rasterizer;
    rasterizer.init(frame.pixels(), width, height);
    // Through the pixel centres of row 20: 255 scaled by the level-line factor
    // 181/256 there; half the alpha, half of that.
    rasterizer.drawLine(white(10, 20.5f), white(50, 20.5f));
    EXPECT_EQ(rgb(frame, 30, 20), 0xB4B4B4u);
    frame.clear(0, 0, 0);
    rasterizer.drawLine({10, 30.5f, 1, 1, 1, 0.5f}, {50, 30.5f, 1, 1, 1, 0.5f});
    EXPECT_NEAR(static_cast<int>(rgb(frame, 30, 30) & 0xFF), 90, 1);

    // Additive blending adds up; the signed add moves away from the key colour.
    frame.clear(100, 100, 100);
    rasterizer.setBlendMode(SoftRasterizer::BlendMode::Additive);
    rasterizer.drawLine(white(10, 5.5f), white(50, 5.5f));
    rasterizer.drawLine(white(10, 5.5f), white(50, 5.5f));
    EXPECT_EQ(rgb(frame, 30, 5), 0xFFFFFFu) << "100 + 2 x 179, capped";
    rasterizer.setBlendMode(SoftRasterizer::BlendMode::SignedAdd);
    rasterizer.setKeyColor(0x808080);
    rasterizer.drawLine({10, 40.5f, 0, 1, 0.5f, 1}, {50, 40.5f, 0, 1, 0.5f, 1});
    EXPECT_EQ(rgb(frame, 30, 40), pixelWord(100 - 128 * 180 / 256, 100 + 127 * 180 / 256, 100));

    // init puts every setting back.
    rasterizer.init(frame.pixels(), width, height);
    frame.clear(0, 0, 0);
    rasterizer.drawLine(white(10, 20.5f), white(50, 20.5f));
    EXPECT_EQ(rgb(frame, 30, 20), 0xB4B4B4u);
}

TEST(PixelRoutines, CopyAndPackRows) {
    std::vector<uint8_t> source(128);
    for (std::size_t i = 0; i < source.size(); ++i) source[i] = static_cast<uint8_t>(i + 1);
    std::vector<uint8_t> copy(128, 0);
    mmxCopy64(copy.data(), source.data(), 100);
    EXPECT_TRUE(std::equal(copy.begin(), copy.begin() + 100, source.begin()));
    EXPECT_EQ(copy[100], 0);

    const uint32_t pixels[5] = {0xFFFFFFFFu, 0x00F80408u, 0x00000000u, 0x12345678u, 0x00FF0000u};
    uint16_t packed[5];
    mmxPack565(packed, pixels, 5);
    EXPECT_EQ(packed[0], 0xFFFF);
    EXPECT_EQ(packed[1], 0xF800 | 0x0020 | 0x0001);
    EXPECT_EQ(packed[4], 0xF800);
    mmxPack565Swapped(packed, pixels, 5);
    EXPECT_EQ(packed[4], 0x001F);
    EXPECT_EQ(packed[3], (0x78 >> 3) << 11 | (0x56 >> 2) << 5 | 0x34 >> 3);
    mmxPack555(packed, pixels, 5);
    EXPECT_EQ(packed[0], 0x7FFF);
    EXPECT_EQ(packed[4], 0x7C00);
    mmxPack555Swapped(packed, pixels, 5);
    EXPECT_EQ(packed[4], 0x001F);

    uint8_t bytes[16] = {};
    mmxPack24(bytes, pixels + 3, 2);
    const uint8_t expected[7] = {0x78, 0x56, 0x34, 0x00, 0x00, 0xFF, 0x00};
    EXPECT_TRUE(std::equal(expected, expected + 7, bytes));
}

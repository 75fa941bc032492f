#include "framework/frame_bitmap.h"
#include "framework/pixel_routines.h"
#include "framework/soft_rasterizer.h"

#include <gtest/gtest.h>

#include <cstdint>
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

}  // namespace

TEST(SoftRasterizer, HardLinesStepThroughPixelCentresWithTheirColours) {
    FrameBitmap frame(width, height);
    SoftRasterizer rasterizer;
    rasterizer.init(frame.pixels(), width, height);
    rasterizer.setMode(false);
    frame.pixels()[10 * width + 5] = 0x7F000000u;

    // Red to blue along a row, end pixel included; the spare byte stays.
    rasterizer.drawLine({5, 10, 1, 0, 0, 1}, {45, 10, 0, 0, 1, 1});
    EXPECT_EQ(litCount(frame), 41);
    EXPECT_EQ(frame.pixels()[10 * width + 5], 0x7FFF0000u);
    EXPECT_EQ(rgb(frame, 45, 10), 0x0000FFu);
    uint32_t halfWay = rgb(frame, 25, 10);
    EXPECT_NEAR(static_cast<int>(halfWay >> 16), 128, 1);
    EXPECT_EQ((halfWay >> 8) & 0xFF, 0u);
    EXPECT_NEAR(static_cast<int>(halfWay & 0xFF), 128, 1);
    // A steep line drawn upwards without its end pixel; the minor coordinate rounds.
    rasterizer.setEndPixel(false);
    rasterizer.drawLine(white(20.4f, 40), white(20.6f, 30));
    EXPECT_EQ(litCount(frame), 51);
    EXPECT_EQ(rgb(frame, 20, 40), 0xFFFFFFu);
    EXPECT_EQ(rgb(frame, 21, 31), 0xFFFFFFu);
    EXPECT_EQ(rgb(frame, 21, 30), 0u);

    // Lines far beyond the frame draw their stretch over it and nothing else;
    // NaN and infinite ends draw nothing.
    frame.clear(0, 0, 0);
    rasterizer.drawLine(white(-1e9f, -1e9f), white(1e9f, 1e9f));
    EXPECT_EQ(litCount(frame), height);
    EXPECT_EQ(rgb(frame, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(rgb(frame, 47, 47), 0xFFFFFFu);
    float nan = std::numeric_limits<float>::quiet_NaN();
    rasterizer.drawLine(white(nan, 3), white(30, 3));
    rasterizer.drawLine(white(std::numeric_limits<float>::infinity(), 3), white(30, 3));
    EXPECT_EQ(litCount(frame), height);
}

TEST(SoftRasterizer, AntialiasedLinesSpreadOverThreeRowsAndBlend) {
    FrameBitmap frame(width, height);
    SoftRasterizer rasterizer;
    rasterizer.init(frame.pixels(), width, height);

    // Through the pixel centres of row 20: the profile peaks there and falls
    // off evenly to the rows beside it; rows two away stay clear.
    rasterizer.drawLine(white(10, 20), white(50, 20));
    uint32_t centre = rgb(frame, 30, 20) & 0xFF;
    uint32_t side = rgb(frame, 30, 19) & 0xFF;
    EXPECT_EQ(centre, 180u) << "255 scaled by the level-line factor 181/256";
    EXPECT_EQ(rgb(frame, 30, 21) & 0xFF, side);
    EXPECT_GT(side, 0u);
    EXPECT_LT(side, centre / 4);
    EXPECT_EQ(rgb(frame, 30, 18), 0u);
    EXPECT_EQ(rgb(frame, 30, 22), 0u);
    EXPECT_EQ(litCount(frame), 41 * 3);

    // A diagonal is brightened for its longer minor steps; alpha scales it down.
    rasterizer.drawLine(white(0, 0), white(40, 40));
    EXPECT_GT(rgb(frame, 10, 10) & 0xFF, centre);
    frame.clear(0, 0, 0);
    rasterizer.drawLine({10, 30, 1, 1, 1, 0.5f}, {50, 30, 1, 1, 1, 0.5f});
    EXPECT_NEAR(static_cast<int>(rgb(frame, 30, 30) & 0xFF), 90, 1);

    // Additive blending adds up; the signed add moves away from the key colour.
    frame.clear(100, 100, 100);
    rasterizer.setBlendMode(SoftRasterizer::BlendMode::Additive);
    rasterizer.drawLine(white(10, 5), white(50, 5));
    rasterizer.drawLine(white(10, 5), white(50, 5));
    EXPECT_EQ(rgb(frame, 30, 5), 0xFFFFFFu) << "100 + 2 x 179, capped";
    rasterizer.setBlendMode(SoftRasterizer::BlendMode::SignedAdd);
    rasterizer.setKeyColor(0x808080);
    rasterizer.drawLine({10, 40, 0, 1, 0.5f, 1}, {50, 40, 0, 1, 0.5f, 1});
    uint32_t shifted = rgb(frame, 30, 40);
    EXPECT_LT(shifted >> 16, 100u);
    EXPECT_GT((shifted >> 8) & 0xFF, 100u);
    EXPECT_EQ(shifted & 0xFF, 100u);

    // init puts every setting back.
    rasterizer.init(frame.pixels(), width, height);
    frame.clear(0, 0, 0);
    rasterizer.drawLine(white(10, 20), white(50, 20));
    EXPECT_EQ(rgb(frame, 30, 20) & 0xFF, centre);
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

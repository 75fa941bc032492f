#include "engine/image/pixel_format.h"

#include <gtest/gtest.h>

#include "engine/core/exception.h"

using zentac::PixelFormat;

TEST(PixelFormat, ChannelFieldsFollowTheMasks) {
    PixelFormat rgb565(16, 0xF800, 0x07E0, 0x001F, 0, zentac::kPixelInteger);
    EXPECT_EQ(rgb565.word, 0x90000010u);
    EXPECT_EQ(rgb565.BytesPerPixel(), 2);
    EXPECT_EQ(rgb565.bitCount[zentac::kBlue], 5);
    EXPECT_EQ(rgb565.bitCount[zentac::kGreen], 6);
    EXPECT_EQ(rgb565.bitCount[zentac::kRed], 5);
    EXPECT_EQ(rgb565.bitCount[zentac::kAlpha], 0);
    EXPECT_EQ(rgb565.highestBit[zentac::kBlue], 4);
    EXPECT_EQ(rgb565.highestBit[zentac::kGreen], 10);
    EXPECT_EQ(rgb565.highestBit[zentac::kRed], 15);
    EXPECT_EQ(rgb565.highestBit[zentac::kAlpha], 0xFF);

    // Gaps inside a mask are not looked at.
    uint8_t count = 0;
    uint8_t highest = 0;
    PixelFormat::ChannelInfo(0x00FF00F0, count, highest);
    EXPECT_EQ(count, 20);
    EXPECT_EQ(highest, 23);

    PixelFormat grey(16, 0x00FF, 0xFF00, zentac::kPixelInteger);
    EXPECT_EQ(grey.word, 0x88000010u);
    EXPECT_EQ(grey.redMask, 0u);
    EXPECT_EQ(grey.blueMask, 0xFFu);
    EXPECT_EQ(grey.highestBit[zentac::kBlue], 7);
    EXPECT_EQ(grey.highestBit[zentac::kAlpha], 15);
    EXPECT_EQ(grey.highestBit[zentac::kRed], 0);

    EXPECT_EQ(zentac::ArgbFormat().word, 0x90000020u);
    EXPECT_EQ(zentac::ArgbFormat().alphaMask, 0xFF000000u);
}

TEST(PixelFormat, FloatChannelsMustFillWholeFloats) {
    EXPECT_NO_THROW(PixelFormat(48, 1, 2, 4, 0, zentac::kPixelFloat16));
    EXPECT_NO_THROW(PixelFormat(128, 1, 2, 4, 8, zentac::kPixelFloat32));
    EXPECT_NO_THROW(PixelFormat(32, 1, 0, zentac::kPixelFloat32));
    try {
        PixelFormat(24, 1, 2, 4, 0, zentac::kPixelFloat16);
        FAIL() << "24-bit half floats accepted";
    } catch (const zentac::Exception& e) {
        EXPECT_STREQ(e.Message().Data(), "Incorrect floating-point PixelFormat declaration.");
    }
    EXPECT_THROW(PixelFormat(48, 1, 2, 4, 0, zentac::kPixelFloat32), zentac::Exception);
    EXPECT_THROW(PixelFormat(8, 1, 0, zentac::kPixelFloat16), zentac::Exception);
}

TEST(PixelFormat, PalettesAreOwnedAndCopiedDeeply) {
    PixelFormat indexed = PixelFormat::Indexed8();
    ASSERT_TRUE(indexed.HasPalette());
    indexed.Palette()[7] = 0x11223344;

    PixelFormat copy(indexed);
    ASSERT_TRUE(copy.HasPalette());
    EXPECT_NE(copy.Palette(), indexed.Palette());
    EXPECT_EQ(copy.Palette()[7], 0x11223344u);
    indexed.Palette()[7] = 0;
    EXPECT_EQ(copy.Palette()[7], 0x11223344u);

    PixelFormat direct(24, 0xFF0000, 0xFF00, 0xFF, 0, zentac::kPixelInteger);
    direct = copy;
    ASSERT_TRUE(direct.HasPalette());
    EXPECT_EQ(direct.Palette()[7], 0x11223344u);
    EXPECT_EQ(direct.word, copy.word);
    EXPECT_EQ(direct.highestBit[zentac::kRed], 0xFF);

    direct = zentac::ArgbFormat();
    EXPECT_FALSE(direct.HasPalette());

    PixelFormat& self = copy;
    copy = self;
    ASSERT_TRUE(copy.HasPalette());
    EXPECT_EQ(copy.Palette()[7], 0x11223344u);

    // Palette contents do not make a different layout; its presence does.
    EXPECT_TRUE(copy.SameLayout(indexed));
    indexed.FreePalette();
    EXPECT_FALSE(copy.SameLayout(indexed));
}

#include "engine/image/blitter_float.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "engine/image/bitmap.h"
#include "engine/image/blitter.h"
#include "engine/core/exception.h"
#include "pixel_helpers.h"

using pixel_test::Fill;
using pixel_test::Known;
using pixel_test::PixelAt;
using pixel_test::SetPixel;
using zentac::Bitmap;
using zentac::PixelFormat;

namespace {

// Float formats name their slots by single-bit masks: bit n is float n.
const PixelFormat kRgbaFloats(128, 1 << 0, 1 << 1, 1 << 2, 1 << 3, zentac::kPixelFloat32);
const PixelFormat kBgrFloats(96, 1 << 2, 1 << 1, 1 << 0, 0, zentac::kPixelFloat32);
const PixelFormat kGreyAlphaFloats(64, 1 << 0, 1 << 1, zentac::kPixelFloat32);
const PixelFormat kGreyFloats(32, 1 << 0, 0, zentac::kPixelFloat32);

float FloatAt(const Bitmap& bitmap, int x, int y, int slot) {
    float value;
    std::memcpy(&value, bitmap.Image() + y * bitmap.Pitch() + x * bitmap.Format().BytesPerPixel() + slot * 4,
                sizeof value);
    return value;
}

void SetFloats(Bitmap& bitmap, int x, int y, std::initializer_list<float> values) {
    uint8_t* pixel = bitmap.Image() + y * bitmap.Pitch() + x * bitmap.Format().BytesPerPixel();
    for (float value : values) {
        std::memcpy(pixel, &value, sizeof value);
        pixel += sizeof value;
    }
}

Bitmap Converted(const Bitmap& source, const PixelFormat& format) {
    Bitmap copy(source);
    copy.Convert(format);
    return copy;
}

// Every byte value in every channel, channels apart.
Bitmap AllBytes() {
    Bitmap bitmap(256, 1, zentac::ArgbFormat());
    for (uint32_t i = 0; i < 256; ++i) SetPixel(bitmap, static_cast<int>(i), 0, i << 24 | i << 16 | (255 - i) << 8 | i);
    return bitmap;
}

int LargestChannelGap(uint32_t a, uint32_t b) {
    int gap = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        gap = std::max(gap, std::abs(static_cast<int>((a >> shift) & 255) - static_cast<int>((b >> shift) & 255)));
    }
    return gap;
}

}  // namespace

TEST(FloatBlit, BytesSurviveFloatChannelsAndAgreeWithTheIntegerPaths) {
    Bitmap bytes = AllBytes();
    for (const PixelFormat& format : {kRgbaFloats, kBgrFloats}) {
        Bitmap floats = Converted(bytes, format);
        EXPECT_EQ(floats.Format().word, format.word);
        Bitmap back = Converted(floats, zentac::ArgbFormat());
        for (int i = 0; i < 256; ++i) {
            uint32_t want = PixelAt(bytes, i, 0) | (format.alphaMask ? 0 : 0xFF000000u);
            ASSERT_EQ(PixelAt(back, i, 0), want) << std::hex << format.word << " byte " << i;
        }
    }
    Bitmap floats = Converted(bytes, kRgbaFloats);
    EXPECT_EQ(FloatAt(floats, 255, 0, 0), 255 * 0.003921569f);
    EXPECT_EQ(FloatAt(floats, 0, 0, 1), 255 * 0.003921569f);

    // Other integer formats reach the floats through ARGB8888.
    Bitmap rgb565(3, 1, Known(zentac::kKnownRgb565));
    SetPixel(rgb565, 0, 0, 0xFFFF);
    SetPixel(rgb565, 1, 0, 0xF800);
    SetPixel(rgb565, 2, 0, 0x07E0);
    EXPECT_EQ(PixelAt(Converted(Converted(rgb565, kRgbaFloats), zentac::ArgbFormat()), 0, 0), 0xFFF8FCF8u);
    EXPECT_EQ(PixelAt(Converted(Converted(rgb565, kBgrFloats), Known(zentac::kKnownRgb565)), 2, 0), 0x07E0u);

    // Grey from the float weights lands within the integer luminance
    // table's truncation of it; white is 254 on both paths.
    Bitmap colours(64, 1, zentac::ArgbFormat());
    for (int i = 0; i < 64; ++i) {
        SetPixel(colours, i, 0, 0xFF000000u | (i * 4) << 16 | (255 - i * 3) << 8 | (i * 37 % 256));
    }
    SetPixel(colours, 63, 0, 0xFFFFFFFF);
    Bitmap viaFloats = Converted(Converted(colours, kGreyAlphaFloats), zentac::ArgbFormat());
    Bitmap viaIntegers = Converted(Converted(colours, Known(zentac::kKnownIntensity8)), zentac::ArgbFormat());
    for (int i = 0; i < 64; ++i) {
        ASSERT_LE(LargestChannelGap(PixelAt(viaFloats, i, 0), PixelAt(viaIntegers, i, 0)), 3) << i;
    }
    EXPECT_EQ(PixelAt(viaFloats, 63, 0), 0xFFFEFEFEu);
    EXPECT_EQ(PixelAt(viaIntegers, 63, 0), 0xFFFEFEFEu);
}

TEST(FloatBlit, FillsMissingChannelsAndClampsToBytes) {
    // Values past 1 give 255, negative ones and NaN 0; no alpha gives 255.
    Bitmap colour(2, 1, kBgrFloats);
    SetFloats(colour, 0, 0, {-0.5f, 2.0f, std::numeric_limits<float>::quiet_NaN()});
    SetFloats(colour, 1, 0, {0.25f, 0.5f, 1.0f});
    Bitmap argb = Converted(colour, zentac::ArgbFormat());
    EXPECT_EQ(PixelAt(argb, 0, 0), 0xFF00FF00u);
    EXPECT_EQ(PixelAt(argb, 1, 0), 0xFFFF7F3Fu);

    // Grey goes to all three colours, clamped like them.
    Bitmap grey(2, 1, kGreyAlphaFloats);
    SetFloats(grey, 0, 0, {0.5f, 0.25f});
    SetFloats(grey, 1, 0, {1.5f, -1.0f});
    Bitmap fromGrey = Converted(grey, zentac::ArgbFormat());
    EXPECT_EQ(PixelAt(fromGrey, 0, 0), 0x3F7F7F7Fu);
    EXPECT_EQ(PixelAt(fromGrey, 1, 0), 0x00FFFFFFu);

    // Between float formats: grey from weighted colours, colours from grey,
    // 1 for what the source lacks.
    Bitmap toGrey = Converted(colour, kGreyAlphaFloats);
    EXPECT_FLOAT_EQ(FloatAt(toGrey, 1, 0, 0), 0.299f * 1.0f + 0.587f * 0.5f + 0.114f * 0.25f);
    EXPECT_EQ(FloatAt(toGrey, 1, 0, 1), 1.0f);
    Bitmap toColour = Converted(grey, kRgbaFloats);
    for (int slot = 0; slot < 3; ++slot) EXPECT_EQ(FloatAt(toColour, 0, 0, slot), 0.5f);
    EXPECT_EQ(FloatAt(toColour, 0, 0, 3), 0.25f);
    Bitmap opaque = Converted(Converted(grey, kGreyFloats), kRgbaFloats);
    EXPECT_EQ(FloatAt(opaque, 1, 0, 3), 1.0f);
}

TEST(FloatBlit, RefusesResizesAndFormatsItCannotRead) {
    Bitmap floats(4, 4, kRgbaFloats);
    std::memset(floats.Image(), 0, static_cast<size_t>(floats.Pitch()) * 4);
    Bitmap target(2, 2, zentac::ArgbFormat());
    Fill(target, 0x12345678);
    for (int mode : {zentac::kBlitNearest, zentac::kBlitBilinear}) {
        try {
            zentac::Blit(target, floats, mode);
            ADD_FAILURE() << "mode " << mode << " resized floats";
        } catch (const zentac::Exception& failure) {
            EXPECT_STREQ(failure.Message().Data(), "Bilinear floating-point blitter is not yet supported.");
        }
        EXPECT_EQ(PixelAt(target, 1, 1), 0x12345678u);
    }
    EXPECT_THROW(floats.Resize(8, 8, false), zentac::Exception);

    // Without resizing only the overlap is written, whichever side is larger.
    Bitmap wide(6, 1, zentac::ArgbFormat());
    Fill(wide, 0x12345678);
    ASSERT_TRUE(zentac::Blit(wide, floats, zentac::kBlitCopy));
    EXPECT_EQ(PixelAt(wide, 3, 0), 0u);
    EXPECT_EQ(PixelAt(wide, 4, 0), 0x12345678u);

    // Half floats, a channel outside the pixel, indexed floats: nothing written.
    PixelFormat halfFloats(64, 1, 2, 4, 8, zentac::kPixelFloat16);
    PixelFormat outside(32, 1 << 1, 0, zentac::kPixelFloat32);
    PixelFormat indexedFloats = kGreyFloats;
    indexedFloats.word |= zentac::kPixelIndexed;
    Bitmap argb(2, 2, zentac::ArgbFormat());
    Fill(argb, 0xFF102030);
    for (const PixelFormat& format : {halfFloats, outside, indexedFloats}) {
        Bitmap odd(2, 2, format);
        std::memset(odd.Image(), 0x11, static_cast<size_t>(odd.Pitch()) * 2);
        EXPECT_FALSE(zentac::Blit(odd, argb, zentac::kBlitCopy)) << std::hex << format.word;
        EXPECT_EQ(odd.Image()[0], 0x11);
        EXPECT_FALSE(zentac::Blit(target, odd, zentac::kBlitCopy)) << std::hex << format.word;
        EXPECT_EQ(PixelAt(target, 0, 0), 0x12345678u);
    }
}

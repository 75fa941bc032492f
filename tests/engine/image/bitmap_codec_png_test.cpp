#include "engine/image/bitmap_codec_png.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "codec_test_helpers.h"
#include "pixel_helpers.h"
#include "tests/image_magick.h"
#include "tests/png_writer.h"
#include "tests/temp_folder.h"

using codec_test::Decodes;
using codec_test::Load;
using pixel_test::PixelAt;
using zentac::Bitmap;

namespace {

struct ColourCase {
    const char* what;
    TestPng png;
    uint32_t word;
    std::vector<uint32_t> expected;  // pixels in the decoded format
};

TestPng Png(int width, int colorType, int bitDepth, std::vector<uint8_t> pixels) {
    TestPng png;
    png.width = width;
    png.colorType = colorType;
    png.bitDepth = bitDepth;
    png.pixels = std::move(pixels);
    png.gamma = 0.5;
    return png;
}

std::vector<ColourCase> ColourCases() {
    const std::vector<png_color> palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    std::vector<ColourCase> cases = {
        {"grey", Png(2, PNG_COLOR_TYPE_GRAY, 8, {0x10, 0xF0}), 0x88000008, {0x10, 0xF0}},
        {"grey with tRNS", Png(2, PNG_COLOR_TYPE_GRAY, 8, {0x10, 0xF0}), 0x88000010, {0x0010, 0xFFF0}},
        {"grey and alpha", Png(2, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {0x20, 0x80, 0x40, 0xFF}), 0x88000010,
         {0x8020, 0xFF40}},
        {"16-bit grey", Png(2, PNG_COLOR_TYPE_GRAY, 16, {0x12, 0x34, 0xAB, 0xCD}), 0x88000008, {0x12, 0xAB}},
        {"2-bit grey", Png(4, PNG_COLOR_TYPE_GRAY, 2, {0x1B}), 0x88000008, {0x00, 0x55, 0xAA, 0xFF}},
        {"RGB", Png(2, PNG_COLOR_TYPE_RGB, 8, {0x11, 0x22, 0x33, 0x44, 0x55, 0x66}), 0x90000018,
         {0x112233, 0x445566}},
        {"RGB with tRNS", Png(2, PNG_COLOR_TYPE_RGB, 8, {0x11, 0x22, 0x33, 0x44, 0x55, 0x66}), 0x90000020,
         {0x00112233, 0xFF445566}},
        {"RGBA", Png(1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {0x11, 0x22, 0x33, 0x80}), 0x90000020, {0x80112233}},
        {"16-bit RGBA", Png(1, PNG_COLOR_TYPE_RGB_ALPHA, 16, {0x11, 0, 0x22, 0, 0x33, 0, 0x80, 0}), 0x90000020,
         {0x80112233}},
        {"2-bit palette", Png(4, PNG_COLOR_TYPE_PALETTE, 2, {0x1B}), 0x90000018,
         {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}},
        {"2-bit palette with tRNS", Png(4, PNG_COLOR_TYPE_PALETTE, 2, {0x1B}), 0x90000020,
         {0x00FF0000, 0x8000FF00, 0xFF0000FF, 0xFFFFFFFF}},
    };
    cases[1].png.transparentColour = png_color_16{0, 0, 0, 0, 0x10};
    cases[6].png.transparentColour = png_color_16{0, 0x11, 0x22, 0x33, 0};
    cases[9].png.palette = palette;
    cases[10].png.palette = palette;
    cases[10].png.paletteAlpha = {0x00, 0x80};
    return cases;
}

void ExpectChannelsNear(uint32_t actual, uint32_t expected, int tolerance, const std::string& what) {
    for (int shift = 0; shift < 32; shift += 8) {
        int a = static_cast<int>((actual >> shift) & 0xFF);
        int e = static_cast<int>((expected >> shift) & 0xFF);
        EXPECT_LE(std::abs(a - e), tolerance) << what << std::hex << ": 0x" << actual << " against 0x" << expected;
    }
}

uint32_t ReadBigEndian(const uint8_t* p) { return uint32_t{p[0]} << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

void WriteBigEndian(uint8_t* p, uint32_t value) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

// Recomputes the CRC of every chunk that still lies whole in the file, so
// that a change reaches the decoder's parsing instead of its CRC check.
std::vector<uint8_t> WithRepairedCrcs(std::vector<uint8_t> file) {
    size_t at = 8;
    while (at + 12 <= file.size()) {
        uint32_t length = ReadBigEndian(&file[at]);
        if (length > file.size() - at - 12) break;
        WriteBigEndian(&file[at + 8 + length], static_cast<uint32_t>(crc32(0, &file[at + 4], length + 4)));
        at += 12 + length;
    }
    return file;
}

// An interlaced palette picture with transparency and a 16-bit RGBA one:
// between them most of the decoder's paths.
std::vector<std::vector<uint8_t>> MutationBases() {
    TestPng palette = Png(9, PNG_COLOR_TYPE_PALETTE, 2, {});
    palette.height = 7;
    palette.interlaced = true;
    palette.palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 9, 9}};
    palette.paletteAlpha = {0x40, 0xFF, 0x00};
    for (int i = 0; i < 7 * 3; ++i) palette.pixels.push_back(static_cast<uint8_t>(i * 37));
    TestPng deep = Png(6, PNG_COLOR_TYPE_RGB_ALPHA, 16, {});
    deep.height = 5;
    for (int i = 0; i < 6 * 5 * 8; ++i) deep.pixels.push_back(static_cast<uint8_t>(i * 13));
    return {writePng(palette), writePng(deep)};
}

}  // namespace

TEST(PngCodec, ColourTypesDecodeToTheirFormats) {
    for (const ColourCase& test : ColourCases()) {
        Bitmap bitmap = Load(writePng(test.png), "picture.png");
        ASSERT_EQ(bitmap.Width(), static_cast<int>(test.expected.size())) << test.what;
        EXPECT_EQ(bitmap.Height(), 1) << test.what;
        EXPECT_EQ(bitmap.Format().word, test.word) << test.what;
        for (size_t x = 0; x < test.expected.size(); ++x) {
            ExpectChannelsNear(PixelAt(bitmap, static_cast<int>(x), 0), test.expected[x], 1, test.what);
        }
    }
    Bitmap upper = Load(writeRgbPng(1, 1, {0x0000FF}), "UPPER.PNG");
    EXPECT_EQ(PixelAt(upper, 0, 0), 0x0000FFu) << "extensions match in any case";
}

TEST(PngCodec, GammaWithoutGamaChunkAndInterlacedTwins) {
    TestPng plain = Png(1, PNG_COLOR_TYPE_RGB, 8, {128, 0, 255});
    plain.gamma.reset();
    auto corrected = static_cast<uint32_t>(255.0 * std::pow(128.0 / 255.0, 1.0 / (0.45 * 2.0)));
    ExpectChannelsNear(PixelAt(Load(writePng(plain), "g.png"), 0, 0), corrected << 16 | 0x0000FF, 1,
                       "file gamma 0.45, screen gamma 2.0");

    TestPng progressive = Png(13, PNG_COLOR_TYPE_RGB_ALPHA, 8, {});
    progressive.height = 11;
    for (int y = 0; y < 11; ++y) {
        for (int x = 0; x < 13; ++x) {
            for (int value : {x * 19, y * 23, (x * y) & 0xFF, 255 - x}) {
                progressive.pixels.push_back(static_cast<uint8_t>(value));
            }
        }
    }
    TestPng straight = progressive;
    progressive.interlaced = true;
    Bitmap a = Load(writePng(progressive), "a.png");
    Bitmap b = Load(writePng(straight), "b.png");
    ASSERT_EQ(a.Width(), 13);
    ASSERT_EQ(a.Height(), 11);
    EXPECT_EQ(std::memcmp(a.Image(), b.Image(), 13 * 11 * 4), 0);
    EXPECT_EQ(PixelAt(a, 12, 10), (243u << 24) | (228u << 16) | (230u << 8) | 120u);
}

TEST(PngCodec, ImageMagickFiles) {
    TempFolder folder;
    std::vector<uint8_t> rgb = imageMagickFile(folder, "-size 16x8 xc:'#FF0000'", "png24:red.png");
    if (rgb.empty()) GTEST_SKIP() << "ImageMagick's convert is not available";
    EXPECT_EQ(PixelAt(Load(rgb, "red.png"), 15, 7) & 0xFFFFFF, 0xFF0000u);

    Bitmap half = Load(imageMagickFile(folder, "-size 4x4 xc:'rgba(0,0,255,0.5)'", "png32:half.png"), "half.png");
    EXPECT_EQ(half.Format().word, 0x90000020u);
    ExpectChannelsNear(PixelAt(half, 2, 2), 0x800000FF, 1, "half-transparent blue");

    Bitmap palette = Load(imageMagickFile(folder, "-size 8x2 xc:'#00FF00' xc:'#FF0000' -append", "png8:pal.png"),
                          "pal.png");
    EXPECT_EQ(palette.Height(), 4);
    EXPECT_EQ(PixelAt(palette, 0, 0) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(PixelAt(palette, 7, 3) & 0xFFFFFF, 0xFF0000u);

    Bitmap grey = Load(imageMagickFile(folder, "-size 4x64 gradient:white-black -depth 16 -type Grayscale", "grey.png"),
                       "grey.png");
    EXPECT_EQ(grey.Format().word, 0x88000008u);
    EXPECT_EQ(PixelAt(grey, 0, 0), 0xFFu);
    EXPECT_EQ(PixelAt(grey, 0, 63), 0u);
    for (int y = 1; y < 64; ++y) EXPECT_LE(PixelAt(grey, 0, y), PixelAt(grey, 0, y - 1));
}

TEST(PngCodec, BadInputFailsWithTheLoadersException) {
    try {
        Load({}, "data/empty.png");
        ADD_FAILURE() << "an empty stream loaded";
    } catch (const zentac::Exception& e) {
        EXPECT_NE(std::string(e.Message().Data()).find("data/empty.png"), std::string::npos) << e.Message().Data();
    }
    std::vector<uint8_t> jpegBytes = {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0};
    EXPECT_FALSE(Decodes(jpegBytes, "wrong.png"));

    for (const std::vector<uint8_t>& base : MutationBases()) {
        ASSERT_TRUE(Decodes(base, "base.png"));
        for (size_t length = 0; length < base.size(); ++length) {
            std::vector<uint8_t> cut(base.begin(), base.begin() + static_cast<std::ptrdiff_t>(length));
            EXPECT_FALSE(Decodes(cut, "cut.png")) << "cut to " << length << " bytes";
        }
        std::vector<uint8_t> damaged = base;
        damaged[damaged.size() - 20] ^= 0x55;
        EXPECT_FALSE(Decodes(damaged, "crc.png")) << "chunk CRCs are checked";

        // Width and height at 16, then bit depth, colour type and the three methods at 24 to 28.
        for (size_t field : {16u, 20u}) {
            for (uint32_t value : {0u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, 1000001u, 0x10000u, 16000u}) {
                std::vector<uint8_t> header = base;
                WriteBigEndian(&header[field], value);
                EXPECT_FALSE(Decodes(WithRepairedCrcs(header), "huge.png")) << "field " << field << " = " << value;
            }
        }
        for (size_t field = 24; field <= 28; ++field) {
            for (uint8_t value : {0, 1, 3, 5, 7, 16, 255}) {
                std::vector<uint8_t> header = base;
                header[field] = value;
                Decodes(WithRepairedCrcs(header), "header.png");
            }
        }
        codec_test::ForEachFlip(base, 8, [](const std::vector<uint8_t>& flipped) {
            Decodes(WithRepairedCrcs(flipped), "flipped.png");
        });
    }
}

#include "engine/image/bitmap_codec_tga.h"

#include <gtest/gtest.h>

#include <vector>

#include "codec_damage.h"
#include "codec_picture.h"
#include "codec_test_helpers.h"
#include "engine/image/codec_formats.h"
#include "engine/files/memory_stream.h"
#include "pixel_helpers.h"
#include "tests/image_magick.h"
#include "tests/temp_folder.h"

using codec_picture::Colour;
using codec_picture::ExpectPicture;
using codec_picture::kHeight;
using codec_picture::kWidth;
using codec_picture::Rows;
using codec_test::Decodes;
using codec_test::Load;
using pixel_test::PixelAt;
using zentac::Bitmap;

namespace {

struct TgaFile {
    uint8_t mapType = 0;
    uint8_t imageType = 2;
    uint16_t mapLength = 0;
    uint8_t mapBits = 0;
    uint16_t width = kWidth;
    uint16_t height = kHeight;
    uint8_t depth = 24;
    uint8_t descriptor = 0;
    std::vector<uint8_t> id;
    std::vector<uint8_t> map;
    std::vector<uint8_t> pixels;

    std::vector<uint8_t> Bytes() const {
        std::vector<uint8_t> bytes = {static_cast<uint8_t>(id.size()), mapType, imageType, 0, 0,
                                      static_cast<uint8_t>(mapLength), static_cast<uint8_t>(mapLength >> 8), mapBits,
                                      0, 0, 0, 0, static_cast<uint8_t>(width), static_cast<uint8_t>(width >> 8),
                                      static_cast<uint8_t>(height), static_cast<uint8_t>(height >> 8), depth,
                                      descriptor};
        for (const std::vector<uint8_t>* part : {&id, &map, &pixels}) bytes.insert(bytes.end(), part->begin(), part->end());
        return bytes;
    }
};

// The picture's 15 colours as a map of blue, green, red entries.
std::vector<uint8_t> PictureMap() {
    std::vector<uint8_t> map;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            uint32_t c = Colour(x, y);
            map.insert(map.end(), {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c >> 16)});
        }
    }
    return map;
}

TgaFile ColourMapped(uint8_t imageType) {
    TgaFile file;
    file.mapType = 1;
    file.imageType = imageType;
    file.mapLength = kWidth * kHeight;
    file.mapBits = 24;
    file.depth = 8;
    file.map = PictureMap();
    return file;
}

uint16_t Argb1555(uint32_t rgb) {
    return static_cast<uint16_t>(0x8000 | (rgb >> 19 & 0x1F) << 10 | (rgb >> 11 & 0x1F) << 5 | (rgb >> 3 & 0x1F));
}

std::vector<uint8_t> Encode(const Bitmap& bitmap) {
    const zentac::BitmapCodec* codec = zentac::FindBitmapCodec(zentac::BitmapCodecs(), "tga");
    zentac::MemoryStream stream(nullptr, 0);
    if (!codec || !codec->encode(stream, bitmap, 0.5f)) return {};
    return {stream.Data(), stream.Data() + stream.Size()};
}

// Pixel i of the picture in file order (top row first) as blue, green, red.
std::vector<uint8_t> Bgr(int i) {
    uint32_t c = Colour(i % kWidth, i / kWidth);
    return {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c >> 16)};
}

}  // namespace

TEST(TgaCodec, DecodesEveryImageType) {
    TgaFile bottomUp;
    bottomUp.id = {'h', 'i'};
    bottomUp.pixels = Rows(true, 3, Colour);
    Bitmap picture = Load(bottomUp.Bytes(), "bottom.TGA");
    EXPECT_EQ(picture.Format().word, 0x90000018u);
    ExpectPicture(picture, "24-bit, bottom row first, behind an ID field");
    TgaFile topDown = bottomUp;
    topDown.descriptor = 0x20;
    topDown.pixels = Rows(false, 3, Colour);
    ExpectPicture(Load(topDown.Bytes(), "top.tga"), "24-bit, top row first");

    TgaFile withMap = topDown;
    withMap.mapType = 1;
    withMap.mapLength = 3;
    withMap.mapBits = 15;
    withMap.map.assign(6, 0xEE);
    ExpectPicture(Load(withMap.Bytes(), "map.tga"), "true colour skips a colour map of 16-bit entries");

    TgaFile alpha = topDown;
    alpha.depth = 32;
    alpha.pixels = Rows(false, 4, [](int x, int y) { return Colour(x, y) | uint32_t(x * 50) << 24; });
    Bitmap argb = Load(alpha.Bytes(), "alpha.tga");
    EXPECT_EQ(argb.Format().word, 0x90000020u);
    EXPECT_EQ(PixelAt(argb, 3, 2), Colour(3, 2) | 150u << 24);

    TgaFile highColour = topDown;
    highColour.depth = 16;
    highColour.pixels = Rows(false, 2, [](int x, int y) { return Argb1555(Colour(x, y)); });
    Bitmap argb1555 = Load(highColour.Bytes(), "16.tga");
    EXPECT_TRUE(argb1555.Format().SameLayout(zentac::Argb1555Format()));
    EXPECT_EQ(PixelAt(argb1555, 4, 1), Argb1555(Colour(4, 1)));

    TgaFile mapped = ColourMapped(1);
    mapped.pixels = Rows(true, 1, codec_picture::Index);
    Bitmap indexed = Load(mapped.Bytes(), "mapped.tga");
    EXPECT_EQ(indexed.Format().word, 0x84000008u);
    EXPECT_EQ(indexed.Format().Palette()[14], 0xFF000000 | Colour(4, 2));
    ExpectPicture(indexed, "colour-mapped");

    // Packets run on across row ends, and the end of the image drops the
    // rest of a packet.
    TgaFile packed = topDown;
    packed.imageType = 10;
    packed.pixels = {0x80 | 6};
    packed.pixels.insert(packed.pixels.end(), {1, 2, 3});
    packed.pixels.push_back(5);
    for (int i = 7; i < 13; ++i) {
        std::vector<uint8_t> pixel = Bgr(i);
        packed.pixels.insert(packed.pixels.end(), pixel.begin(), pixel.end());
    }
    packed.pixels.insert(packed.pixels.end(), {0x80 | 3, 9, 8, 7});
    Bitmap runs = Load(packed.Bytes(), "runs.tga");
    for (int i = 0; i < kWidth * kHeight; ++i) {
        uint32_t expected = i < 7 ? 0x030201u : i < 13 ? Colour(i % kWidth, i / kWidth) : 0x070809u;
        EXPECT_EQ(PixelAt(runs, i % kWidth, i / kWidth), expected) << "pixel " << i;
    }

    TgaFile packedMap = ColourMapped(9);
    packedMap.descriptor = 0x20;
    packedMap.pixels = {0x80 | 14, 7};
    EXPECT_EQ(PixelAt(Load(packedMap.Bytes(), "rle-mapped.tga"), 4, 2), 7u);
}

TEST(TgaCodec, RejectsWhatItDoesNotRead) {
    TgaFile grey;
    grey.imageType = 3;
    grey.depth = 8;
    grey.pixels.assign(kWidth * kHeight, 0x40);
    EXPECT_FALSE(Decodes(grey.Bytes(), "grey.tga"));

    TgaFile highColourMap = ColourMapped(1);
    highColourMap.mapBits = 16;
    highColourMap.pixels.assign(kWidth * kHeight, 0);
    EXPECT_FALSE(Decodes(highColourMap.Bytes(), "map16.tga"));

    TgaFile longMap = ColourMapped(1);
    longMap.mapLength = 257;
    longMap.map.assign(257 * 3, 0);
    longMap.pixels.assign(kWidth * kHeight, 0);
    EXPECT_FALSE(Decodes(longMap.Bytes(), "map257.tga"));

    TgaFile wideIndices = ColourMapped(1);
    wideIndices.depth = 16;
    wideIndices.pixels.assign(2 * kWidth * kHeight, 0);
    EXPECT_FALSE(Decodes(wideIndices.Bytes(), "index16.tga")) << "colour-mapped pixels are 8 bits";

    TgaFile empty;
    empty.width = 0;
    EXPECT_FALSE(Decodes(empty.Bytes(), "empty.tga"));
}

TEST(TgaCodec, EncoderRoundTrips) {
    Bitmap argb = codec_picture::Argb();
    pixel_test::SetPixel(argb, 1, 1, 0x40000000 | Colour(1, 1));
    std::vector<uint8_t> file = Encode(argb);
    ASSERT_EQ(file.size(), 18u + 4 * kWidth * kHeight);
    EXPECT_EQ(file[2], 2) << "true colour";
    EXPECT_EQ(file[16], 32);
    EXPECT_EQ(file[17], 0x28) << "top row first, 8 alpha bits";
    Bitmap back = Load(file, "argb.tga");
    EXPECT_EQ(back.Format().word, 0x90000020u);
    EXPECT_EQ(PixelAt(back, 1, 1), 0x40000000 | Colour(1, 1));
    ExpectPicture(back, "ARGB8888 round trip");

    Bitmap rgb(kWidth, kHeight, zentac::Rgb888Format());
    ASSERT_TRUE(zentac::Blit(rgb, argb, zentac::kBlitCopy));
    file = Encode(rgb);
    EXPECT_EQ(file[17], 0x20);
    ExpectPicture(Load(file, "rgb.tga"), "RGB888 round trip");

    Bitmap indexed(kWidth, kHeight, zentac::PixelFormat::Indexed8());
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            indexed.Format().Palette()[codec_picture::Index(x, y)] = 0xFF000000 | Colour(x, y);
            pixel_test::SetPixel(indexed, x, y, codec_picture::Index(x, y));
        }
    }
    file = Encode(indexed);
    ASSERT_EQ(file.size(), 18u + 3 * 256 + kWidth * kHeight);
    EXPECT_EQ(file[1], 1) << "with a colour map";
    EXPECT_EQ(file[7], 24);
    Bitmap indexedBack = Load(file, "indexed.tga");
    EXPECT_EQ(indexedBack.Format().word, 0x84000008u);
    ExpectPicture(indexedBack, "indexed round trip");

    Bitmap grey(2, 1, zentac::Intensity8Format());
    pixel_test::SetPixel(grey, 0, 0, 0x30);
    pixel_test::SetPixel(grey, 1, 0, 0xC0);
    Bitmap greyBack = Load(Encode(grey), "grey.tga");
    EXPECT_EQ(greyBack.Format().word, 0x90000018u) << "intensity is written as RGB888";
    EXPECT_EQ(PixelAt(greyBack, 1, 0), 0xC0C0C0u);

    Bitmap rgb565(1, 1, zentac::Rgb565Format());
    pixel_test::SetPixel(rgb565, 0, 0, 0xF81F);
    Bitmap highColourBack = Load(Encode(rgb565), "565.tga");
    EXPECT_TRUE(highColourBack.Format().SameLayout(zentac::Argb1555Format()));
    EXPECT_EQ(PixelAt(highColourBack, 0, 0), 0xFC1Fu);

    EXPECT_TRUE(Encode(Bitmap()).empty()) << "nothing to encode";
    EXPECT_TRUE(Encode(Bitmap(70000, 1, zentac::ArgbFormat())).empty()) << "wider than the header can say";
}

TEST(TgaCodec, ImageMagickFiles) {
    TempFolder folder;
    std::string input = folder.write("picture.ppm", codec_picture::Ppm());
    // Without an orientation ImageMagick stores the top row first but
    // marks the file bottom-up.
    std::string from = "'" + input + "' -orient TopLeft";
    std::vector<uint8_t> plain = imageMagickFile(folder, from, "plain.tga");
    if (plain.empty()) GTEST_SKIP() << "ImageMagick's convert is not available";
    ExpectPicture(Load(plain, "plain.tga"), "ImageMagick TGA");
    ExpectPicture(Load(imageMagickFile(folder, from + " -compress RLE", "rle.tga"), "rle.tga"), "ImageMagick RLE TGA");
    ExpectPicture(Load(imageMagickFile(folder, from + " -type Palette", "mapped.tga"), "mapped.tga"),
                  "ImageMagick colour-mapped TGA");
    ExpectPicture(Load(imageMagickFile(folder, from + " -type Palette -compress RLE", "rle-mapped.tga"), "rle-mapped.tga"),
                  "ImageMagick RLE colour-mapped TGA");
}

TEST(TgaCodec, DamagedFilesFailCleanly) {
    TgaFile plain;
    plain.pixels = Rows(true, 3, Colour);
    codec_damage::ExpectDamageHandled(plain.Bytes(), 18, "plain.tga");

    TgaFile packed;
    packed.imageType = 10;
    packed.depth = 32;
    packed.pixels = {0x80 | 9, 1, 2, 3, 4, 4};
    for (uint8_t i = 0; i < 20; ++i) packed.pixels.push_back(i);
    codec_damage::ExpectDamageHandled(packed.Bytes(), 18, "packed.tga");

    TgaFile mapped = ColourMapped(9);
    mapped.pixels = {0x80 | 9, 3, 4, 1, 2, 3, 4, 5};
    codec_damage::ExpectDamageHandled(mapped.Bytes(), 18, "mapped.tga");
}

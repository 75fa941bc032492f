#include "engine/image/bitmap_codec_bmp.h"

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
using codec_picture::Index;
using codec_picture::kHeight;
using codec_picture::kWidth;
using codec_picture::PutLe;
using codec_picture::Rows;
using codec_test::Decodes;
using codec_test::Load;
using pixel_test::PixelAt;
using zentac::Bitmap;

namespace {

struct BmpFile {
    uint32_t infoSize = 40;
    int32_t width = kWidth;
    int32_t height = kHeight;
    uint16_t bits = 24;
    uint32_t compression = 0;
    uint32_t coloursUsed = 0;
    std::vector<uint8_t> masks;  // behind the first 40 bytes of the info header
    std::vector<uint8_t> palette;
    std::vector<uint8_t> pixels;

    std::vector<uint8_t> Bytes() const {
        bool os2 = infoSize == 12;
        uint32_t dataOffset = 14 + (os2 ? 12 : 40) + static_cast<uint32_t>(masks.size() + palette.size());
        std::vector<uint8_t> bytes = {'B', 'M'};
        PutLe(bytes, dataOffset + static_cast<uint32_t>(pixels.size()), 4);
        PutLe(bytes, 0, 4);
        PutLe(bytes, dataOffset, 4);
        PutLe(bytes, infoSize, 4);
        PutLe(bytes, static_cast<uint32_t>(width), os2 ? 2 : 4);
        PutLe(bytes, static_cast<uint32_t>(height), os2 ? 2 : 4);
        PutLe(bytes, 1, 2);
        PutLe(bytes, bits, 2);
        if (!os2) {
            PutLe(bytes, compression, 4);
            PutLe(bytes, static_cast<uint32_t>(pixels.size()), 4);
            PutLe(bytes, 0, 4);  // resolution
            PutLe(bytes, 0, 4);
            PutLe(bytes, coloursUsed, 4);
            PutLe(bytes, 0, 4);
        }
        for (const std::vector<uint8_t>* part : {&masks, &palette, &pixels}) {
            bytes.insert(bytes.end(), part->begin(), part->end());
        }
        return bytes;
    }
};

// The picture's colours as palette entries of entryBytes bytes.
std::vector<uint8_t> PicturePalette(int entryBytes, uint8_t fourth = 0) {
    std::vector<uint8_t> palette;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) PutLe(palette, Colour(x, y) | uint32_t{fourth} << 24, entryBytes);
    }
    return palette;
}

BmpFile Indexed(uint16_t bits, int entryBytes = 4) {
    BmpFile file;
    file.bits = bits;
    file.coloursUsed = kWidth * kHeight;
    file.palette = PicturePalette(entryBytes);
    return file;
}

std::vector<uint8_t> Masks(std::vector<uint32_t> masks) {
    std::vector<uint8_t> bytes;
    for (uint32_t mask : masks) PutLe(bytes, mask, 4);
    return bytes;
}

std::vector<uint8_t> Encode(const Bitmap& bitmap) {
    const zentac::BitmapCodec* codec = zentac::FindBitmapCodec(zentac::BitmapCodecs(), "bmp");
    zentac::MemoryStream stream(nullptr, 0);
    if (!codec || !codec->encode(stream, bitmap, 0.5f)) return {};
    return {stream.Data(), stream.Data() + stream.Size()};
}

uint32_t Field(const std::vector<uint8_t>& bytes, size_t at, int size) {
    uint32_t value = 0;
    for (int i = 0; i < size; ++i) value |= uint32_t{bytes[at + i]} << (8 * i);
    return value;
}

// Loaded as the show loads its textures: converted to 32-bit ARGB.
Bitmap LoadArgb(const std::vector<uint8_t>& file, const char* name) {
    zentac::MemoryStream stream(file.data(), static_cast<int32_t>(file.size()), zentac::MemoryStream::Borrow{});
    Bitmap argb;
    argb.LoadAndConvert(stream, name, zentac::ArgbFormat());
    return argb;
}

Bitmap IndexedPicture() {
    Bitmap indexed(kWidth, kHeight, zentac::PixelFormat::Indexed8());
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            indexed.Format().Palette()[Index(x, y)] = 0xFF000000 | Colour(x, y);
            pixel_test::SetPixel(indexed, x, y, Index(x, y));
        }
    }
    return indexed;
}

}  // namespace

TEST(BmpCodec, DecodesPlainLayouts) {
    BmpFile bottomUp;
    bottomUp.pixels = Rows(true, 3, Colour, 1);
    Bitmap rgb = Load(bottomUp.Bytes(), "picture.Bmp");
    EXPECT_EQ(rgb.Format().word, 0x90000018u);
    ExpectPicture(rgb, "24-bit bottom-up, one padding byte per row");
    BmpFile topDown = bottomUp;
    topDown.height = -kHeight;
    topDown.pixels = Rows(false, 3, Colour, 1);
    ExpectPicture(Load(topDown.Bytes(), "top.bmp"), "24-bit top-down");

    BmpFile tall;
    tall.width = 1;
    tall.height = -10;
    for (int y = 0; y < 10; ++y) tall.pixels.insert(tall.pixels.end(), {static_cast<uint8_t>(y), 0, 0, 0xEE});
    Bitmap column = Load(tall.Bytes(), "tall.bmp");
    ASSERT_EQ(column.Height(), 10);
    for (int y = 0; y < 10; ++y) EXPECT_EQ(PixelAt(column, 0, y), static_cast<uint32_t>(y)) << "row " << y;

    BmpFile noAlpha = topDown;
    noAlpha.bits = 32;
    noAlpha.pixels = Rows(false, 4, Colour);
    Bitmap opaque = Load(noAlpha.Bytes(), "x.bmp");
    EXPECT_EQ(opaque.Format().word, 0x90000020u);
    EXPECT_EQ(PixelAt(opaque, 2, 1), 0xFF000000 | Colour(2, 1)) << "unused fourth bytes mean opaque";
    BmpFile alpha = noAlpha;
    alpha.pixels = Rows(false, 4, [](int x, int y) { return Colour(x, y) | uint32_t(x * 60) << 24; });
    EXPECT_EQ(PixelAt(Load(alpha.Bytes(), "alpha.bmp"), 3, 1), Colour(3, 1) | 180u << 24);

    BmpFile rgb555 = topDown;
    rgb555.bits = 16;
    rgb555.pixels = Rows(false, 2, [](int x, int) { return uint32_t(0x7C00 >> (5 * (x % 3))); }, 2);
    Bitmap highColour = Load(rgb555.Bytes(), "555.bmp");
    EXPECT_TRUE(highColour.Format().SameLayout(zentac::Rgb555Format()));
    EXPECT_EQ(PixelAt(highColour, 1, 0), 0x03E0u);

    BmpFile rgb565 = rgb555;
    rgb565.compression = 3;
    rgb565.masks = Masks({0xF800, 0x07E0, 0x001F});
    EXPECT_TRUE(Load(rgb565.Bytes(), "565.bmp").Format().SameLayout(zentac::Rgb565Format()))
        << "bit fields leave no bits to alpha";

    // Colour masks with gaps between them: the gaps are padding, whether
    // left clear or not, and the picture is opaque.
    BmpFile gaps = noAlpha;
    gaps.compression = 3;
    gaps.masks = Masks({0x3FC00000, 0x001FE000, 0x00000FF0});
    for (uint32_t padding : {0u, 0x80201001u}) {
        gaps.pixels = Rows(false, 4, [padding](int x, int y) {
            uint32_t c = Colour(x, y);
            return (c >> 16) << 22 | (c >> 8 & 0xFF) << 13 | (c & 0xFF) << 4 | padding;
        });
        Bitmap argb = LoadArgb(gaps.Bytes(), "gaps.bmp");
        for (int i = 0; i < kWidth * kHeight; ++i) {
            int x = i % kWidth;
            int y = i / kWidth;
            EXPECT_EQ(PixelAt(argb, x, y), 0xFF000000 | Colour(x, y)) << "padding " << padding << " at " << i;
        }
    }

    // Padding narrower than a byte becomes alpha; left clear, the picture
    // is opaque, 255 whatever the width: 10-10-10 with two bits spare, and
    // 5-5-5 with the lowest bit spare.
    BmpFile tenBits = noAlpha;
    tenBits.compression = 3;
    tenBits.masks = Masks({0x3FF00000, 0x000FFC00, 0x000003FF});
    tenBits.pixels = Rows(false, 4, [](int x, int y) {
        uint32_t c = Colour(x, y);
        return (c >> 16) << 22 | (c >> 8 & 0xFF) << 12 | (c & 0xFF) << 2;
    });
    BmpFile oneBit = tenBits;
    oneBit.bits = 16;
    oneBit.masks = Masks({0xF800, 0x07C0, 0x003E});
    oneBit.pixels = Rows(false, 2, [](int x, int y) {
        uint32_t c = Colour(x, y) & 0xF8F8F8;
        return (c >> 19) << 11 | (c >> 11 & 0x1F) << 6 | (c >> 3 & 0x1F) << 1;
    }, 2);
    for (const BmpFile* file : {&tenBits, &oneBit}) {
        Bitmap argb = LoadArgb(file->Bytes(), "opaque.bmp");
        for (int i = 0; i < kWidth * kHeight; ++i) {
            uint32_t want = Colour(i % kWidth, i / kWidth) & (file->bits == 16 ? 0xF8F8F8 : 0xFFFFFF);
            EXPECT_EQ(PixelAt(argb, i % kWidth, i / kWidth), 0xFF000000 | want) << file->bits << " bits, at " << i;
        }
    }

    BmpFile masked = noAlpha;
    masked.infoSize = 56;
    masked.masks = Masks({0xFF, 0xFF00, 0xFF0000, 0xFF000000});
    Bitmap abgr = Load(masked.Bytes(), "abgr.bmp");
    EXPECT_EQ(abgr.Format().redMask, 0xFFu);
    EXPECT_EQ(abgr.Format().alphaMask, 0xFF000000u) << "the 56-byte header names its alpha";
}

TEST(BmpCodec, DecodesIndexedAndOs2Files) {
    BmpFile eight = Indexed(8);
    eight.pixels = Rows(true, 1, Index, 3);
    Bitmap indexed = Load(eight.Bytes(), "8.bmp");
    EXPECT_EQ(indexed.Format().word, 0x84000008u);
    EXPECT_EQ(indexed.Format().Palette()[4], 0xFF000000 | Colour(4, 0)) << "a palette without alpha is opaque";
    ExpectPicture(indexed, "8-bit with 15 colours used");

    BmpFile withAlpha = eight;
    withAlpha.palette = PicturePalette(4, 0x80);
    EXPECT_EQ(Load(withAlpha.Bytes(), "8a.bmp").Format().Palette()[4], 0x80000000 | Colour(4, 0));

    // 4 and 1 bits per pixel, the leftmost pixel in the highest bits.
    BmpFile four = Indexed(4);
    four.coloursUsed = 0;
    four.palette.resize(16 * 4);
    four.pixels = {0x12, 0x3F, 0xE0, 0, 0xAB, 0xCD, 0x10, 0, 0x00, 0x00, 0xF0, 0};
    Bitmap nibbles = Load(four.Bytes(), "4.bmp");
    const uint32_t fourBitRows[3][5] = {{0, 0, 0, 0, 15}, {10, 11, 12, 13, 1}, {1, 2, 3, 15, 14}};
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) EXPECT_EQ(PixelAt(nibbles, x, y), fourBitRows[y][x]) << x << ", " << y;
    }
    BmpFile one = Indexed(1);
    one.coloursUsed = 0;
    one.palette.resize(2 * 4);
    one.pixels = {0xA8, 0, 0, 0, 0x50, 0, 0, 0, 0xF8, 0, 0, 0};
    Bitmap bits = Load(one.Bytes(), "1.bmp");
    EXPECT_EQ(PixelAt(bits, 0, 2), 1u);
    EXPECT_EQ(PixelAt(bits, 1, 2), 0u);
    EXPECT_EQ(PixelAt(bits, 1, 1), 1u);
    EXPECT_EQ(PixelAt(bits, 4, 0), 1u);

    BmpFile os2 = Indexed(8, 3);
    os2.infoSize = 12;
    os2.palette.resize(256 * 3);
    os2.pixels = Rows(true, 1, Index, 3);
    Bitmap old = Load(os2.Bytes(), "os2.bmp");
    EXPECT_EQ(old.Format().Palette()[14], 0xFF000000 | Colour(4, 2)) << "3-byte entries";
    ExpectPicture(old, "OS/2 bitmap");
}

TEST(BmpCodec, DecodesRunLengthData) {
    BmpFile rle8 = Indexed(8);
    rle8.compression = 1;
    rle8.height = -kHeight;
    rle8.pixels = {
        3, 7, 0, 3, 8, 9, 10, 0,  // a run and an absolute run with its pad byte
        9, 4,                     // passes the row end: the rest is dropped
        0, 0,                     // end of line
        1, 5, 0, 0,               // a row cut short by its end of line
        0, 2, 2, 0, 1, 6, 0, 1,   // a delta, a pixel and the end of the bitmap
    };
    Bitmap indexed = Load(rle8.Bytes(), "rle8.bmp");
    const uint32_t rows8[3][5] = {{7, 7, 7, 8, 9}, {5, 0, 0, 0, 0}, {0, 0, 6, 0, 0}};
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) EXPECT_EQ(PixelAt(indexed, x, y), rows8[y][x]) << "RLE8 " << x << ", " << y;
    }

    BmpFile rle4 = Indexed(4);
    rle4.compression = 2;
    rle4.palette.resize(16 * 4);
    rle4.pixels = {5, 0x12, 0, 0, 0, 3, 0xAB, 0xC0, 0, 0, 0, 2, 1, 0, 2, 0xEF, 0, 1};
    Bitmap nibbles = Load(rle4.Bytes(), "rle4.bmp");
    const uint32_t rows4[3][5] = {{0, 14, 15, 0, 0}, {10, 11, 12, 0, 0}, {1, 2, 1, 2, 1}};
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) EXPECT_EQ(PixelAt(nibbles, x, y), rows4[y][x]) << "RLE4 " << x << ", " << y;
    }
}

TEST(BmpCodec, SparseRunLengthAsksForNoMoreThanTheFileHolds) {
    // An end of the bitmap at once leaves every pixel out: a megapixel needs
    // 1024 bytes of data (half a megapixel, and 512 pixels a byte), counted
    // as the loaded ARGB picture, not the indices. One byte less is refused.
    BmpFile sparse = Indexed(8);
    sparse.compression = 1;
    sparse.coloursUsed = 1;
    sparse.palette.resize(4);
    sparse.width = 1024;
    sparse.height = 1024;
    sparse.pixels = {0, 1};
    sparse.pixels.resize(1024);
    Bitmap blank = LoadArgb(sparse.Bytes(), "sparse.bmp");
    ASSERT_EQ(blank.Width(), 1024);
    ASSERT_EQ(blank.Height(), 1024);
    EXPECT_EQ(PixelAt(blank, 1023, 1023), 0xFF000000u | Colour(0, 0));
    sparse.pixels.pop_back();
    EXPECT_FALSE(Decodes(sparse.Bytes(), "sparse.bmp"));
}

TEST(BmpCodec, RejectsWhatItDoesNotRead) {
    BmpFile v4;
    v4.infoSize = 108;
    v4.pixels = Rows(true, 3, Colour, 1);
    EXPECT_FALSE(Decodes(v4.Bytes(), "v4.bmp"));
    BmpFile twoBits = Indexed(2);
    twoBits.pixels.assign(12, 0);
    EXPECT_FALSE(Decodes(twoBits.Bytes(), "2.bmp"));
    BmpFile jpeg = Indexed(8);
    jpeg.compression = 4;
    jpeg.pixels.assign(40, 0);
    EXPECT_FALSE(Decodes(jpeg.Bytes(), "jpeg.bmp")) << "embedded JPEG is not RLE";
    BmpFile rle24 = v4;
    rle24.infoSize = 40;
    rle24.compression = 1;
    EXPECT_FALSE(Decodes(rle24.Bytes(), "rle24.bmp"));
    for (int32_t width : {0, -5}) {
        BmpFile sized = rle24;
        sized.compression = 0;
        sized.width = width;
        EXPECT_FALSE(Decodes(sized.Bytes(), "size.bmp")) << width;
    }
}

TEST(BmpCodec, EncoderRoundTrips) {
    Bitmap argb = codec_picture::Argb();
    pixel_test::SetPixel(argb, 0, 2, 0x20000000 | Colour(0, 2));
    std::vector<uint8_t> file = Encode(argb);
    ASSERT_EQ(file.size(), 54u + 4 * kWidth * kHeight);
    EXPECT_EQ(Field(file, 2, 4), file.size());
    EXPECT_EQ(Field(file, 10, 4), 54u);
    EXPECT_EQ(Field(file, 26, 2), 1u) << "one plane";
    EXPECT_EQ(Field(file, 28, 2), 32u);
    Bitmap back = Load(file, "argb.bmp");
    EXPECT_EQ(PixelAt(back, 0, 2), 0x20000000 | Colour(0, 2));
    ExpectPicture(back, "ARGB8888 round trip");

    Bitmap rgb(kWidth, kHeight, zentac::Rgb888Format());
    ASSERT_TRUE(zentac::Blit(rgb, argb, zentac::kBlitCopy));
    file = Encode(rgb);
    EXPECT_EQ(file.size(), 54u + 16 * kHeight) << "rows padded to 16 bytes";
    ExpectPicture(Load(file, "rgb.bmp"), "RGB888 round trip");

    Bitmap rgb565(kWidth, kHeight, zentac::Rgb565Format());
    for (int x = 0; x < kWidth; ++x) {
        for (int y = 0; y < kHeight; ++y) pixel_test::SetPixel(rgb565, x, y, 0xF800u >> x | 0x1Fu >> y);
    }
    file = Encode(rgb565);
    EXPECT_EQ(Field(file, 10, 4), 66u);
    EXPECT_EQ(Field(file, 30, 4), 3u) << "bit fields";
    Bitmap highBack = Load(file, "565.bmp");
    EXPECT_TRUE(highBack.Format().SameLayout(zentac::Rgb565Format()));
    for (int x = 0; x < kWidth; ++x) {
        for (int y = 0; y < kHeight; ++y) EXPECT_EQ(PixelAt(highBack, x, y), PixelAt(rgb565, x, y));
    }

    Bitmap grey(1, 1, zentac::Intensity8Format());
    pixel_test::SetPixel(grey, 0, 0, 0xFF);
    EXPECT_EQ(PixelAt(Load(Encode(grey), "grey.bmp"), 0, 0), 0xFFFFu) << "8-bit intensity becomes RGB565";

    file = Encode(IndexedPicture());
    EXPECT_EQ(Field(file, 10, 4), 1078u);
    EXPECT_EQ(Field(file, 28, 2), 8u);
    Bitmap indexedBack = Load(file, "indexed.bmp");
    EXPECT_EQ(indexedBack.Format().word, 0x84000008u);
    ExpectPicture(indexedBack, "indexed round trip");

    EXPECT_TRUE(Encode(Bitmap()).empty()) << "nothing to encode";
}

TEST(BmpCodec, ImageMagickFiles) {
    TempFolder folder;
    std::string input = "'" + folder.write("picture.ppm", codec_picture::Ppm()) + "' -define bmp:format=bmp3";
    std::vector<uint8_t> rgb = imageMagickFile(folder, input, "rgb.bmp");
    if (rgb.empty()) GTEST_SKIP() << "ImageMagick's convert is not available";
    ExpectPicture(Load(rgb, "rgb.bmp"), "ImageMagick 24-bit BMP");
    ExpectPicture(Load(imageMagickFile(folder, input + " -type Palette", "8.bmp"), "8.bmp"), "ImageMagick 8-bit BMP");
    ExpectPicture(Load(imageMagickFile(folder, input + " -type Palette -compress RLE", "rle.bmp"), "rle.bmp"),
                  "ImageMagick RLE8 BMP");

    // ImageMagick reads what the encoder writes.
    std::vector<uint32_t> expected;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) expected.push_back(Colour(x, y));
    }
    auto readBack = [&folder](const Bitmap& bitmap) {
        std::string ours = folder.write("ours.bmp", Encode(bitmap));
        return codec_picture::PpmPixels(imageMagickFile(folder, "'" + ours + "'", "ours.ppm"));
    };
    Bitmap rgb888(kWidth, kHeight, zentac::Rgb888Format());
    ASSERT_TRUE(zentac::Blit(rgb888, codec_picture::Argb(), zentac::kBlitCopy));
    EXPECT_EQ(readBack(rgb888), expected) << "24-bit";
    EXPECT_EQ(readBack(IndexedPicture()), expected) << "8-bit";
}

TEST(BmpCodec, DamagedFilesFailCleanly) {
    BmpFile plain;
    plain.bits = 32;
    plain.pixels = Rows(true, 4, Colour);
    codec_damage::ExpectDamageHandled(plain.Bytes(), 70, "plain.bmp");

    BmpFile padded;
    padded.bits = 16;
    padded.compression = 3;
    padded.masks = Masks({0xF800, 0x07E0, 0x001F});
    padded.pixels = Rows(true, 2, Index, 2);
    codec_damage::ExpectDamageHandled(padded.Bytes(), 70, "padded.bmp", 2);

    BmpFile indexed = Indexed(8);
    indexed.pixels = Rows(true, 1, Index, 3);
    codec_damage::ExpectDamageHandled(indexed.Bytes(), 70, "indexed.bmp", 3);

    BmpFile rle8 = Indexed(8);
    rle8.compression = 1;
    rle8.pixels = {3, 7, 0, 3, 8, 9, 10, 0, 0, 0, 0, 2, 1, 1, 5, 2, 0, 1};
    codec_damage::ExpectDamageHandled(rle8.Bytes(), 70, "rle8.bmp");

    BmpFile rle4 = Indexed(4);
    rle4.compression = 2;
    rle4.pixels = {5, 0x12, 0, 0, 0, 3, 0xAB, 0xC0, 0, 0, 0, 2, 1, 0, 2, 0xEF, 0, 1};
    codec_damage::ExpectDamageHandled(rle4.Bytes(), 70, "rle4.bmp");
}

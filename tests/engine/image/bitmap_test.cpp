#include "engine/image/bitmap.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "engine/image/bitmap_codec.h"
#include "engine/core/exception.h"
#include "engine/files/memory_stream.h"
#include "pixel_helpers.h"

using pixel_test::Known;
using pixel_test::PixelAt;
using pixel_test::SetPixel;
using zentac::Bitmap;
using zentac::PixelFormat;
using zentac::String;

namespace {

const PixelFormat kRgb565(16, 0xF800, 0x07E0, 0x001F, 0, zentac::kPixelInteger);

// Reads width and height bytes and makes an opaque ARGB image whose blue
// counts up in steps of 40.
bool DecodeCounting(Bitmap& bitmap, zentac::Stream& stream) {
    uint8_t size[2];
    if (stream.Read(size, 2) != 2 || size[0] == 0 || size[1] == 0) return false;
    auto* image = new uint8_t[size[0] * size[1] * 4];
    for (int i = 0; i < size[0] * size[1]; ++i) {
        const uint8_t pixel[4] = {static_cast<uint8_t>(i * 40), 0, 0, 0xFF};
        std::memcpy(image + 4 * i, pixel, 4);
    }
    bitmap.SetImage(size[0], size[1], zentac::ArgbFormat(), image);
    return true;
}

void RegisterFakeCodecs() {
    zentac::BitmapCodecTable& table = zentac::BitmapCodecs();
    if (zentac::FindBitmapCodec(table, "fake")) return;
    table.push_back({{"fke", "fake"}, DecodeCounting, nullptr});
    table.push_back({{"wo"}, nullptr, nullptr});
}

String LoadError(const char* name, std::initializer_list<uint8_t> bytes) {
    RegisterFakeCodecs();
    auto* data = new uint8_t[bytes.size()];
    std::copy(bytes.begin(), bytes.end(), data);
    zentac::MemoryStream stream(data, static_cast<int32_t>(bytes.size()));
    Bitmap bitmap;
    try {
        bitmap.Load(stream, name);
    } catch (const zentac::Exception& e) {
        return e.Message();
    }
    return "loaded";
}

}  // namespace

TEST(Bitmap, SizesAreCheckedWhenSet) {
    Bitmap empty;
    EXPECT_EQ(empty.Width(), 0);
    EXPECT_EQ(empty.Image(), nullptr);

    Bitmap rgb(3, 2, Known(zentac::kKnownRgb888));
    EXPECT_EQ(rgb.Pitch(), 9);

    EXPECT_THROW(Bitmap(0, 5, kRgb565), zentac::Exception);
    EXPECT_THROW(Bitmap(5, -1, kRgb565), zentac::Exception);
    EXPECT_THROW(Bitmap(70000, 70000, zentac::ArgbFormat()), zentac::Exception);
    EXPECT_THROW(Bitmap(0x7FFFFFFF, 1, zentac::ArgbFormat()), zentac::Exception);
    PixelFormat fourBits;
    fourBits.word = zentac::kPixelInteger | zentac::kPixelIndexed | 4;
    EXPECT_THROW(Bitmap(8, 8, fourBits), zentac::Exception);

    auto* block = new uint8_t[16];
    EXPECT_THROW(rgb.SetImage(-4, 1, zentac::ArgbFormat(), block), zentac::Exception);
    delete[] block;
    EXPECT_EQ(rgb.Width(), 3);
}

TEST(Bitmap, CopiesAreDeepAndOwnImagesSurviveReuse) {
    Bitmap source(2, 2, PixelFormat::Indexed8());
    source.Format().Palette()[1] = 0xFFABCDEF;
    SetPixel(source, 1, 1, 1);

    Bitmap copy(source);
    ASSERT_NE(copy.Image(), source.Image());
    EXPECT_EQ(PixelAt(copy, 1, 1), 1u);
    EXPECT_EQ(copy.Format().Palette()[1], 0xFFABCDEFu);

    Bitmap assigned(5, 5, kRgb565);
    assigned = source;
    EXPECT_EQ(assigned.Width(), 2);
    EXPECT_EQ(assigned.Pitch(), 2);
    EXPECT_EQ(PixelAt(assigned, 1, 1), 1u);
    Bitmap& self = assigned;
    assigned = self;
    EXPECT_EQ(PixelAt(assigned, 1, 1), 1u);

    Bitmap empty;
    assigned = empty;
    EXPECT_EQ(assigned.Image(), nullptr);
    EXPECT_EQ(assigned.Width(), 0);
    EXPECT_FALSE(assigned.Format().HasPalette());

    // Handing a bitmap its own block and format again keeps both alive.
    copy.SetImage(copy.Width(), copy.Height(), copy.Format(), copy.Image());
    EXPECT_EQ(PixelAt(copy, 1, 1), 1u);
    EXPECT_EQ(copy.Format().Palette()[1], 0xFFABCDEFu);
}

TEST(Bitmap, ConvertAndResizeReplaceTheImageOnlyWhenNeeded) {
    Bitmap bitmap(4, 2, kRgb565);
    pixel_test::Fill(bitmap, 0xFFFF);
    const uint8_t* before = bitmap.Image();
    bitmap.Convert(kRgb565);
    bitmap.Resize(4, 2, true);
    EXPECT_EQ(bitmap.Image(), before);
    EXPECT_EQ(bitmap.Pitch(), 8);

    bitmap.Convert(zentac::ArgbFormat());
    EXPECT_EQ(bitmap.Pitch(), 16);
    EXPECT_EQ(bitmap.Format().word, 0x90000020u);
    EXPECT_EQ(PixelAt(bitmap, 3, 1), 0xFFF8FCF8u);

    bitmap.Resize(2, 3, false);
    EXPECT_EQ(bitmap.Width(), 2);
    EXPECT_EQ(bitmap.Height(), 3);
    EXPECT_EQ(PixelAt(bitmap, 1, 2), 0xFFF8FCF8u);

    // No blitter serves 64-bit pixels: the bitmap stays as it was.
    PixelFormat wide(64, 0xFFFF, 0, 0, 0, zentac::kPixelInteger);
    const uint8_t* converted = bitmap.Image();
    EXPECT_THROW(bitmap.Convert(wide), zentac::Exception);
    EXPECT_EQ(bitmap.Image(), converted);
    EXPECT_EQ(bitmap.Format().word, 0x90000020u);

    Bitmap empty;
    EXPECT_THROW(empty.Resize(4, 4, false), zentac::Exception);
    empty.Convert(kRgb565);
    EXPECT_EQ(empty.Format().word, kRgb565.word);
}

TEST(BitmapLoad, PicksTheCodecByExtensionAndReportsFailures) {
    RegisterFakeCodecs();
    auto* data = new uint8_t[2]{3, 2};
    zentac::MemoryStream stream(data, 2);
    Bitmap bitmap;
    bitmap.LoadAndConvert(stream, "pics/dot.v1/Test.FAKE", kRgb565);
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(bitmap.Height(), 2);
    EXPECT_EQ(bitmap.Format().word, kRgb565.word);
    EXPECT_EQ(PixelAt(bitmap, 1, 0), 40u >> 3);
    EXPECT_STREQ(bitmap.Name().Data(), "pics/dot.v1/Test.FAKE");

    EXPECT_STREQ(LoadError("a.fke", {1, 1}).Data(), "loaded");
    EXPECT_STREQ(LoadError("a.tiff", {1, 1}).Data(), "Cannot find codec for extension: tiff");
    EXPECT_STREQ(LoadError("README", {1, 1}).Data(), "Cannot find codec for extension: ");
    EXPECT_STREQ(LoadError("x.wo", {1, 1}).Data(), "The codec is not decoder.");
    EXPECT_STREQ(LoadError("data/short.fake", {1}).Data(), "Cannot decode image: data/short.fake");

    zentac::BitmapCodecTable empty;
    EXPECT_EQ(zentac::FindBitmapCodec(empty, "fake"), nullptr);
}

TEST(Bitmap, QuantizeLearnsAPaletteFromTheImage) {
    // Too small to take a single sample: the untrained grey ramp remains.
    Bitmap tiny(2, 2, zentac::ArgbFormat());
    SetPixel(tiny, 0, 0, 0xFF000000);
    SetPixel(tiny, 1, 0, 0xFFFFFFFF);
    SetPixel(tiny, 0, 1, 0xFF405060);
    SetPixel(tiny, 1, 1, 0x00808080);
    tiny.Convert(PixelFormat::Indexed8());
    ASSERT_EQ(tiny.Format().word, 0x84000008u);
    ASSERT_TRUE(tiny.Format().HasPalette());
    for (uint32_t i = 0; i < 256; ++i) EXPECT_EQ(tiny.Format().Palette()[i], 0xFF000000u | i * 0x010101u);
    EXPECT_EQ(PixelAt(tiny, 0, 0), 0u);
    EXPECT_EQ(PixelAt(tiny, 1, 0), 255u);
    EXPECT_EQ(PixelAt(tiny, 0, 1), 80u);
    EXPECT_EQ(PixelAt(tiny, 1, 1), 128u);
    EXPECT_EQ(tiny.Pitch(), 2);

    // Already indexed with a palette: whatever the palettes hold, nothing happens.
    const uint8_t* indices = tiny.Image();
    tiny.Convert(PixelFormat::Indexed8());
    EXPECT_EQ(tiny.Image(), indices);
    EXPECT_EQ(tiny.Format().Palette()[200], 0xFFC8C8C8u);

    // Four colours in stripes: every pixel ends near its colour. 40 x 40
    // pixels give fewer samples than learning cycles.
    const uint32_t colours[4] = {0xFFE01010, 0xFF10E010, 0xFF1010E0, 0xFFF0F0A0};
    for (int size : {40, 120}) {
        Bitmap striped(size, size, Known(zentac::kKnownRgb888));
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) SetPixel(striped, x, y, colours[(x / 5 + y / 7) % 4] & 0xFFFFFF);
        }
        striped.Quantize(0.35f);
        ASSERT_EQ(striped.Format().word, 0x84000008u);
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                uint32_t want = colours[(x / 5 + y / 7) % 4];
                uint32_t got = striped.Format().Palette()[PixelAt(striped, x, y)];
                int distance = 0;
                for (int shift = 0; shift < 24; shift += 8) {
                    distance += std::abs(static_cast<int>((want >> shift) & 0xFF) - static_cast<int>((got >> shift) & 0xFF));
                }
                ASSERT_LT(distance, 48) << size << " at " << x << "," << y;
            }
        }
    }

    Bitmap best(8, 8, zentac::ArgbFormat());
    pixel_test::Fill(best, 0xFF336699);
    best.Quantize(1.0f);
    EXPECT_EQ(best.Format().word, 0x84000008u);
}

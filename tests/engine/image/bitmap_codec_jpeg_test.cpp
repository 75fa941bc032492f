#include "engine/image/bitmap_codec_jpeg.h"

#include <gtest/gtest.h>

// jpeglib.h needs FILE and size_t declared before it.
#include <cstdio>

#include <jpeglib.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "codec_test_helpers.h"
#include "engine/files/memory_stream.h"
#include "pixel_helpers.h"
#include "tests/image_magick.h"
#include "tests/temp_folder.h"

using codec_test::Decodes;
using codec_test::Load;
using pixel_test::PixelAt;
using pixel_test::SetPixel;
using zentac::Bitmap;

namespace {

// Smooth colours, which JPEG keeps well: red across, green down.
Bitmap Gradient(int width, int height) {
    Bitmap bitmap(width, height, zentac::ArgbFormat());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            SetPixel(bitmap, x, y, 0xFF000000u | (x * 255 / width) << 16 | (y * 255 / height) << 8 | 0x60u);
        }
    }
    return bitmap;
}

std::vector<uint8_t> Encode(const Bitmap& bitmap, float quality) {
    const zentac::BitmapCodec* codec = zentac::FindBitmapCodec(zentac::BitmapCodecs(), "jpg");
    zentac::MemoryStream stream(nullptr, 0);
    if (!codec || !codec->encode(stream, bitmap, quality)) return {};
    return {stream.Data(), stream.Data() + stream.Size()};
}

// The first entry of the first quantisation table, which the quality sets.
int FirstQuantiser(const std::vector<uint8_t>& jpeg) {
    for (size_t at = 0; at + 5 < jpeg.size(); ++at) {
        if (jpeg[at] == 0xFF && jpeg[at + 1] == 0xDB) return jpeg[at + 5];
    }
    return -1;
}

int LargestChannelError(const Bitmap& decoded, const Bitmap& original) {
    int largest = 0;
    for (int y = 0; y < original.Height(); ++y) {
        for (int x = 0; x < original.Width(); ++x) {
            uint32_t a = PixelAt(decoded, x, y);
            uint32_t b = PixelAt(original, x, y);
            for (int shift = 0; shift < 24; shift += 8) {
                largest = std::max(largest, std::abs(static_cast<int>((a >> shift) & 0xFF) -
                                                     static_cast<int>((b >> shift) & 0xFF)));
            }
        }
    }
    return largest;
}

Bitmap ReadScaled(const std::vector<uint8_t>& jpeg, zentac::JpegScaling scaling, int budgetKilobytes = 0) {
    Bitmap bitmap;
    EXPECT_TRUE(zentac::ReadJpegImage({scaling, budgetKilobytes}, jpeg.data(), jpeg.size(), bitmap));
    return bitmap;
}

size_t MarkerAt(const std::vector<uint8_t>& jpeg, uint8_t marker) {
    for (size_t at = 2; at + 1 < jpeg.size(); ++at) {
        if (jpeg[at] == 0xFF && jpeg[at + 1] == marker) return at;
    }
    return 0;
}

// A grey picture coded by libjpeg with arithmetic coding.
std::vector<uint8_t> ArithmeticCoded(int width, int height) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* bytes = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &bytes, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 1;
    info.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    info.arith_code = TRUE;
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(static_cast<size_t>(width), 0x80);
    while (info.next_scanline < info.image_height) {
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<uint8_t> file(bytes, bytes + size);
    std::free(bytes);
    return file;
}

#if defined(__SANITIZE_ADDRESS__)
// The address sanitizer's allocation interface (GCC ships no header for it).
extern "C" {
int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, size_t), void (*)(const volatile void*));
int __sanitizer_get_ownership(const volatile void*);
size_t __sanitizer_get_allocated_size(const volatile void*);
}

int64_t heapHeld = 0;
int64_t heapPeak = 0;

void CountAllocation(const volatile void*, size_t bytes) {
    heapHeld += static_cast<int64_t>(bytes);
    heapPeak = std::max(heapPeak, heapHeld);
}

void CountFree(const volatile void* block) {
    if (__sanitizer_get_ownership(block)) heapHeld -= static_cast<int64_t>(__sanitizer_get_allocated_size(block));
}

// The most heap the call holds at once beyond what was held before it.
template <typename Call>
int64_t PeakHeapGrowth(Call call) {
    static const int hooks = __sanitizer_install_malloc_and_free_hooks(CountAllocation, CountFree);
    EXPECT_NE(hooks, 0);
    heapHeld = 0;
    heapPeak = 0;
    call();
    return heapPeak;
}
#endif

// Different bytes everywhere, which JPEG cannot squeeze.
Bitmap Noise(int width, int height) {
    Bitmap bitmap(width, height, zentac::ArgbFormat());
    uint32_t state = 1;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            SetPixel(bitmap, x, y, state >> 8 | 0xFF000000u);
        }
    }
    return bitmap;
}

}  // namespace

TEST(JpegCodec, EncodeDecodeRoundTripAndQuality) {
    Bitmap original = Gradient(40, 24);
    std::vector<uint8_t> jpeg = Encode(original, 0.9f);
    ASSERT_FALSE(jpeg.empty());
    Bitmap decoded = Load(jpeg, "photo.JPEG");
    ASSERT_EQ(decoded.Width(), 40);
    ASSERT_EQ(decoded.Height(), 24);
    EXPECT_EQ(decoded.Format().word, 0x90000018u) << "colour decodes to RGB888";
    EXPECT_LE(LargestChannelError(decoded, original), 12);

    EXPECT_EQ(FirstQuantiser(Encode(original, 0.75f)), 8) << "libjpeg quality 75";
    EXPECT_EQ(FirstQuantiser(Encode(original, 7.0f)), 1) << "quality beyond 1 is 1";

    Bitmap grey(8, 8, pixel_test::Known(zentac::kKnownIntensity8));
    pixel_test::Fill(grey, 0x90);
    Bitmap greyBack = Load(Encode(grey, 1.0f), "grey.jfif");
    EXPECT_EQ(greyBack.Format().word, 0x90000018u) << "the encoder writes colour";
    for (int shift : {0, 8, 16}) EXPECT_NEAR(static_cast<int>((PixelAt(greyBack, 3, 3) >> shift) & 0xFF), 0x90, 2);

    EXPECT_TRUE(Encode(Bitmap(), 0.5f).empty()) << "nothing to encode";
    EXPECT_GT(Encode(Noise(300, 200), 1.0f).size(), size_t{64 * 1024}) << "the output grows past its first block";
}

TEST(JpegCodec, ScaledDecodingAndShortStreams) {
    std::vector<uint8_t> jpeg = Encode(Gradient(256, 192), 0.9f);
    Bitmap preview = ReadScaled(jpeg, zentac::JpegScaling::kFastPreview);
    EXPECT_EQ(preview.Width(), 32);
    EXPECT_EQ(preview.Height(), 24);
    EXPECT_EQ(ReadScaled(jpeg, zentac::JpegScaling::kFitBudget, 1).Width(), 32) << "147456 bytes: 6 budgets of 24K";
    EXPECT_EQ(ReadScaled(jpeg, zentac::JpegScaling::kFitBudget, 100).Width(), 128) << "one budget over: halved";
    EXPECT_EQ(ReadScaled(jpeg, zentac::JpegScaling::kFitBudget, 200).Width(), 256) << "fits";
    EXPECT_EQ(ReadScaled(jpeg, zentac::JpegScaling::kFullSize).Height(), 192);

    std::vector<uint8_t> half(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(jpeg.size() / 2));
    Bitmap cut = Load(half, "cut.jpg");
    EXPECT_EQ(cut.Width(), 256) << "the missing tail reads as the end of the image";
    EXPECT_EQ(cut.Height(), 192);
}

TEST(JpegCodec, PictureSizeIsBoundedByTheInput) {
    // A tiny picture whose frame header then claims 16000 x 16000 pixels.
    std::vector<uint8_t> claim = Encode(Gradient(16, 16), 0.5f);
    size_t frame = MarkerAt(claim, 0xC0);
    ASSERT_GT(frame, 0u);
    for (size_t field : {frame + 5, frame + 7}) {
        claim[field] = 16000 >> 8;
        claim[field + 1] = 16000 & 0xFF;
    }
    SCOPED_TRACE(std::to_string(claim.size()) + " bytes claiming 16000 x 16000");
    EXPECT_LT(claim.size(), 1024u);
    bool decoded = true;
#if defined(__SANITIZE_ADDRESS__)
    int64_t heapGrowth = PeakHeapGrowth([&] { decoded = Decodes(claim, "claim.jpg"); });
    EXPECT_LT(heapGrowth, 4 << 20) << "bytes held while decoding";
#else
    decoded = Decodes(claim, "claim.jpg");
#endif
    EXPECT_FALSE(decoded);

    // A flat picture is the cheapest to code, yet needs more than a bit a
    // block: it still decodes.
    Bitmap flat(2048, 1024, zentac::ArgbFormat());
    pixel_test::Fill(flat, 0xFF3060C0);
    std::vector<uint8_t> flatJpeg = Encode(flat, 0.75f);
    Bitmap flatBack = Load(flatJpeg, "flat.jpg");
    EXPECT_EQ(flatBack.Width(), 2048);
    EXPECT_NEAR(static_cast<int>(PixelAt(flatBack, 2000, 1000) & 0xFF), 0xC0, 2);

    // Arithmetic coding gives a flat picture almost for free, so its size
    // bounds nothing: even a small one is not read.
    EXPECT_LT(ArithmeticCoded(2048, 2048).size(), 2048u * 2048 / 64 / 8) << "under a bit a block";
    EXPECT_FALSE(Decodes(ArithmeticCoded(16, 16), "arithmetic.jpg"));
}

TEST(JpegCodec, ImageMagickFiles) {
    TempFolder folder;
    std::vector<uint8_t> grey =
        imageMagickFile(folder, "-size 16x16 xc:'#808080' -type Grayscale -quality 95", "grey.jpg");
    if (grey.empty()) GTEST_SKIP() << "ImageMagick's convert is not available";
    Bitmap greyImage = Load(grey, "grey.jpg");
    EXPECT_EQ(greyImage.Format().word, 0x88000008u) << "grey stays one channel";
    EXPECT_NEAR(static_cast<int>(PixelAt(greyImage, 5, 5)), 0x80, 2);

    // Progressive and flat: the DC scans code each block in about two bits.
    Bitmap progressive =
        Load(imageMagickFile(folder, "-size 1024x512 xc:'#0000FF' -interlace JPEG -quality 95", "blue.jpg"), "blue.jpg");
    EXPECT_EQ(progressive.Width(), 1024);
    uint32_t blue = PixelAt(progressive, 20, 10);
    EXPECT_GE(blue & 0xFF, 0xF0u);
    EXPECT_LE(blue >> 8 & 0xFF, 0x10u);

    std::vector<uint8_t> cmyk = imageMagickFile(folder, "-size 8x8 xc:red -colorspace CMYK", "cmyk.jpg");
    ASSERT_FALSE(cmyk.empty());
    EXPECT_FALSE(Decodes(cmyk, "cmyk.jpg")) << "CMYK is not read";
}

TEST(JpegCodec, BadInputNeverCrashes) {
    EXPECT_FALSE(Decodes({}, "empty.jpg"));
    EXPECT_FALSE(Decodes({0xFF, 0xD8}, "start.jpg"));
    EXPECT_FALSE(Decodes({0x89, 'P', 'N', 'G', 13, 10, 26, 10}, "png.jpg"));

    std::vector<uint8_t> base = Encode(Gradient(24, 16), 0.8f);
    ASSERT_TRUE(Decodes(base, "base.jpg"));
    size_t scanStart = MarkerAt(base, 0xDA);
    ASSERT_GT(scanStart, 0u);
    for (size_t length = 0; length < base.size(); ++length) {
        std::vector<uint8_t> cut(base.begin(), base.begin() + static_cast<std::ptrdiff_t>(length));
        bool decoded = Decodes(cut, "cut.jpg");
        if (length < scanStart) {
            EXPECT_FALSE(decoded) << "cut before the scan, at " << length;
        }
    }

    // Height and width of the frame header, then its precision, component
    // count and the first component's sampling factors and table.
    size_t frame = MarkerAt(base, 0xC0);
    ASSERT_GT(frame, 0u);
    for (size_t field : {frame + 5, frame + 7}) {
        for (int value : {0, 1, 0x7FFF, 0xFFFF}) {
            std::vector<uint8_t> header = base;
            header[field] = static_cast<uint8_t>(value >> 8);
            header[field + 1] = static_cast<uint8_t>(value);
            bool decoded = Decodes(header, "size.jpg");
            if (value == 0) {
                EXPECT_FALSE(decoded) << "an empty image";
            }
        }
    }
    for (size_t field : {frame + 4, frame + 9, frame + 11, frame + 12}) {
        for (int value : {0, 2, 4, 12, 0x44, 0xFF}) {
            std::vector<uint8_t> header = base;
            header[field] = static_cast<uint8_t>(value);
            Decodes(header, "field.jpg");
        }
    }
    // Every segment length set to extremes.
    for (size_t at = 2; at + 3 < scanStart; ++at) {
        if (base[at] != 0xFF || base[at + 1] < 0xC0 || base[at + 1] == 0xFF) continue;
        for (int value : {0, 1, 2, 0xFFFF}) {
            std::vector<uint8_t> header = base;
            header[at + 2] = static_cast<uint8_t>(value >> 8);
            header[at + 3] = static_cast<uint8_t>(value);
            Decodes(header, "length.jpg");
        }
    }
    codec_test::ForEachFlip(base, 0, [](const std::vector<uint8_t>& flipped) { Decodes(flipped, "flipped.jpg"); });
}

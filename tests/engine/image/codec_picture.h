#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/image/bitmap.h"
#include "pixel_helpers.h"

// A small picture with a different colour in every pixel, for the codec
// tests to write by hand or through ImageMagick and compare after decoding.
namespace codec_picture {

// Fields of hand-written files, value's low size bytes in either order.
inline void PutLe(std::vector<uint8_t>& bytes, uint64_t value, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}
inline void PutBe(std::vector<uint8_t>& bytes, uint64_t value, int size) {
    for (int i = size - 1; i >= 0; --i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

constexpr int kWidth = 5;  // odd, so that rows need padding
constexpr int kHeight = 3;

// Red across, green down, blue from both.
inline uint32_t Colour(int x, int y) {
    return static_cast<uint32_t>((40 * x + 10) << 16 | (60 * y + 20) << 8 | ((x * y * 17 + 5) & 0xFF));
}

// The picture's rows as a file stores them: each pixel value in
// bytesPerPixel little-endian bytes, each row followed by padding zeros.
template <typename PixelValue>
std::vector<uint8_t> Rows(bool bottomUp, int bytesPerPixel, PixelValue value, int padding = 0) {
    std::vector<uint8_t> bytes;
    for (int row = 0; row < kHeight; ++row) {
        int y = bottomUp ? kHeight - 1 - row : row;
        for (int x = 0; x < kWidth; ++x) {
            uint32_t v = value(x, y);
            for (int i = 0; i < bytesPerPixel; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
        }
        bytes.insert(bytes.end(), static_cast<size_t>(padding), 0);
    }
    return bytes;
}

inline uint32_t Index(int x, int y) { return static_cast<uint32_t>(y * kWidth + x); }

inline zentac::Bitmap Argb() {
    zentac::Bitmap bitmap(kWidth, kHeight, zentac::ArgbFormat());
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) pixel_test::SetPixel(bitmap, x, y, 0xFF000000 | Colour(x, y));
    }
    return bitmap;
}

// Binary PPM of the picture, the input ImageMagick converts from.
inline std::vector<uint8_t> Ppm() {
    std::string header = "P6 " + std::to_string(kWidth) + " " + std::to_string(kHeight) + " 255\n";
    std::vector<uint8_t> bytes(header.begin(), header.end());
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            uint32_t c = Colour(x, y);
            bytes.insert(bytes.end(), {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8),
                                       static_cast<uint8_t>(c)});
        }
    }
    return bytes;
}

// The pixels of a binary PPM as 0xRRGGBB, row by row; empty when the bytes
// are no PPM of the picture's size.
inline std::vector<uint32_t> PpmPixels(const std::vector<uint8_t>& ppm) {
    std::string expected = "P6\n" + std::to_string(kWidth) + " " + std::to_string(kHeight) + "\n255\n";
    size_t pixels = static_cast<size_t>(kWidth * kHeight);
    if (ppm.size() != expected.size() + 3 * pixels || !std::equal(expected.begin(), expected.end(), ppm.begin())) {
        return {};
    }
    std::vector<uint32_t> colours;
    for (const uint8_t* p = ppm.data() + expected.size(); colours.size() < pixels; p += 3) {
        colours.push_back(uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2]);
    }
    return colours;
}

// The pixel's red, green and blue as 0xRRGGBB, through the palette of an
// indexed bitmap.
inline uint32_t RgbAt(const zentac::Bitmap& bitmap, int x, int y) {
    uint32_t pixel = pixel_test::PixelAt(bitmap, x, y);
    if (bitmap.Format().Has(zentac::kPixelIndexed)) pixel = bitmap.Format().Palette()[pixel & 0xFF];
    return pixel & 0xFFFFFF;
}

inline void ExpectPicture(const zentac::Bitmap& bitmap, const std::string& what) {
    ASSERT_EQ(bitmap.Width(), kWidth) << what;
    ASSERT_EQ(bitmap.Height(), kHeight) << what;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            EXPECT_EQ(RgbAt(bitmap, x, y), Colour(x, y)) << what << " at " << x << ", " << y;
        }
    }
}

}  // namespace codec_picture

#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/image/bitmap_codec.h"

namespace zentac {

// How ReadJpegImage sizes the picture while decoding.
enum class JpegScaling {
    kFullSize,
    // Shrinks by 2^k, at most by 8, where k is how many times the budget
    // the full picture's RGB bytes fill.
    kFitBudget,
    // An eighth of the size with the fast, coarse decoding paths.
    kFastPreview,
};

struct JpegReadOptions {
    JpegScaling scaling = JpegScaling::kFullSize;
    int budgetKilobytes = 0;  // for kFitBudget; below 24 counts as 24
};

// JPEG over libjpeg ("jpg", "jpeg", "jfif"): decodes grey pictures to 8-bit
// intensity and colour ones to RGB888, and encodes any bitmap as colour
// with a quality from 0 to 1. A stream cut short decodes with its missing
// tail read as the end of the image.
BitmapCodec JpegCodecInfo();

// Decodes JPEG bytes into the bitmap; false, leaving the bitmap as it was,
// when they hold no picture it can read: CMYK and YCCK, arithmetic coding,
// and headers that declare more 8 x 8 blocks than the bytes have bits.
bool ReadJpegImage(const JpegReadOptions& options, const uint8_t* data, size_t size, Bitmap& bitmap);

}  // namespace zentac

#pragma once

#include "engine/image/bitmap_codec.h"

namespace zentac {

// Truevision TGA ("tga"). Decodes colour-mapped images with 24-bit map
// entries to 8-bit indexed colour and true-colour images of 16, 24 and 32
// bits to ARGB1555, RGB888 and ARGB8888, plain or run-length encoded.
// Encodes indexed bitmaps as colour-mapped files and every other bitmap of
// 8 to 32 bits as true colour, top row first, without compression.
BitmapCodec TgaCodecInfo();

}  // namespace zentac

#pragma once

#include "engine/image/bitmap_codec.h"

namespace zentac {

// Windows and OS/2 bitmaps ("bmp"). Decodes 1-, 4- and 8-bit images
// (plain or RLE4/RLE8) to 8-bit indexed colour, 16-bit ones to RGB555 and
// 24- and 32-bit ones to RGB888 and ARGB8888, or to the layout their
// channel masks give. Encodes indexed bitmaps as 8-bit files and others as
// 16-bit (RGB565 with its masks), 24- or 32-bit files, bottom row first.
BitmapCodec BmpCodecInfo();

}  // namespace zentac

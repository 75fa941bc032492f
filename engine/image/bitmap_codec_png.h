#pragma once

#include "engine/image/bitmap_codec.h"

namespace zentac {

// PNG over libpng, decoding only ("png"). Every colour type comes out at
// 8 bits per channel: grey, grey with alpha, RGB888 or ARGB8888, with a
// tRNS chunk turned into alpha. Colours are gamma-corrected for a screen
// gamma of 2.0, taking 0.45 as the file gamma when the file gives none.
BitmapCodec PngCodecInfo();

}  // namespace zentac

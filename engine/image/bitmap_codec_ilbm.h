#pragma once

#include "engine/image/bitmap_codec.h"

namespace zentac {

// IFF pictures ("iff", "lbm", "ham", "ham8", "ilbm", "ehb"), decoding
// only: planar ILBM with 1 to 8 planes to 8-bit indexed colour (extra
// half-brite doubling a 32-colour map), HAM6 and HAM8 to RGB888, and 9 to
// 32 planes to RGB565, RGB888 or ARGB8888; chunky PBM to 8-bit indexed
// colour. Bodies may be plain or ByteRun1, with or without a mask plane.
BitmapCodec IlbmCodecInfo();

}  // namespace zentac

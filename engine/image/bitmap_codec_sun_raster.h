#pragma once

#include "engine/image/bitmap_codec.h"

namespace zentac {

// Sun raster files ("ras", "sun"), decoding only: depth 1 to 8-bit
// intensity, 8 to 8-bit indexed colour (a grey ramp when the file has no
// colour map), 24 to RGB888 and 32 to ARGB8888, plain or byte-encoded.
BitmapCodec SunRasterCodecInfo();

}  // namespace zentac

#pragma once

#include "engine/image/bitmap_codec.h"

namespace zentac {

// SGI image files ("rgb", "rgba", "bw", "sgi"), decoding only: one byte
// per channel, verbatim or run-length encoded; one channel to 8-bit
// intensity, three to RGB888, four to ARGB8888.
BitmapCodec SgiCodecInfo();

}  // namespace zentac

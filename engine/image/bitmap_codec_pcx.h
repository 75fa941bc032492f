#pragma once

#include "engine/image/bitmap_codec.h"

namespace zentac {

// ZSoft PCX ("pcx"), decoding only: run-length encoded images of 8 bits
// per plane, one plane with its 256-colour palette to 8-bit indexed
// colour, three planes to RGB888.
BitmapCodec PcxCodecInfo();

}  // namespace zentac

#pragma once

#include "engine/image/bitmap_codec.h"

namespace zentac {

// DirectDraw surfaces ("dds"), decoding only: the top mip level of DXT1,
// DXT3 and DXT5 textures to ARGB8888. Premultiplied DXT2 and DXT4 textures
// are accepted but not decoded: their pictures stay zero.
BitmapCodec DdsCodecInfo();

}  // namespace zentac

#pragma once

#include "engine/bitmap_codec.h"

namespace zentac {

// DirectDraw surfaces ("dds"), decoding only: the top mip level of DXT1,
// DXT2/DXT3 and DXT4/DXT5 textures to ARGB8888. Premultiplied DXT2 and
// DXT4 keep their colours as stored.
BitmapCodec DdsCodecInfo();

}  // namespace zentac

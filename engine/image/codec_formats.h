#pragma once

#include "engine/image/pixel_format.h"

namespace zentac {

// The pixel formats that the image codecs decode to and encode from,
// besides ArgbFormat() and PixelFormat::Indexed8().
const PixelFormat& Intensity8Format();
const PixelFormat& Argb1555Format();
const PixelFormat& Rgb555Format();
const PixelFormat& Rgb565Format();
const PixelFormat& Rgb888Format();

}  // namespace zentac

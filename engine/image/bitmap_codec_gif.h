#pragma once

#include "engine/image/bitmap_codec.h"

namespace zentac {

// GIF over giflib, decoding only ("gif"): the first image of the file as
// an 8-bit indexed bitmap of the logical screen's size. The palette holds
// the image's colour map (its own, else the global one) as opaque ARGB8888,
// transparent black past the map's colours, and alpha 0 at the indices
// that a graphic-control block before the image marks transparent. Screen
// pixels outside the image take the background index. Later images are not
// read. Malformed files throw.
BitmapCodec GifCodecInfo();

}  // namespace zentac

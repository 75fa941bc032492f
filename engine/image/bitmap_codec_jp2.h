#pragma once

#include "engine/image/bitmap_codec.h"

namespace zentac {

// JPEG-2000 over OpenJPEG, decoding only ("jp2", "jpc", "j2k"): JP2 files
// and bare codestreams of 1 to 4 components, 8 bits each in memory order:
// grey; grey, alpha; red, green, blue; red, green, blue, alpha. Deeper
// samples keep their top 8 bits, shallower ones are widened, signed ones
// are offset by half the range; subsampled components cover their blocks
// of pixels, and YCbCr images come out as red, green, blue. Images
// narrower or lower than 64 pixels are stretched to 128 x 128. Malformed
// streams throw.
BitmapCodec Jp2CodecInfo();

}  // namespace zentac

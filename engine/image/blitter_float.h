#pragma once

namespace zentac {

class Bitmap;

// Blit for formats with 32-bit float channels on either side: a float
// pixel is a run of floats, each present channel in the float numbered by
// its mask's highest bit, nominally 0 to 1. Converts the overlapping
// top-left rectangle; true when it wrote dest, false when either format
// is neither integer nor readable float (16-bit floats, a channel outside
// the pixel, indexed floats). Throws for any resize, before writing.
bool FloatBlit(Bitmap& dest, const Bitmap& source, int mode);

}  // namespace zentac

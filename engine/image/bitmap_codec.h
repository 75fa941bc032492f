#pragma once

#include <vector>

#include "engine/core/string.h"

namespace zentac {

class Bitmap;
class Stream;

// One image codec: the extensions it answers to and what it can do.
struct BitmapCodec {
    // Reads an image into the bitmap; false for a variant it does not
    // support, leaving the bitmap as it was.
    using Decoder = bool (*)(Bitmap& bitmap, Stream& stream);
    // Writes the bitmap; quality runs from 0 to 1 for codecs that use it.
    using Encoder = bool (*)(Stream& stream, const Bitmap& bitmap, float quality);

    std::vector<String> extensions;  // without the dot
    Decoder decode = nullptr;
    Encoder encode = nullptr;
};

// Earlier entries win when two codecs share an extension.
using BitmapCodecTable = std::vector<BitmapCodec>;

// The first codec with an extension equal to the given one, ignoring case;
// null when none has it.
const BitmapCodec* FindBitmapCodec(const BitmapCodecTable& table, const String& extension);

// The engine-wide table that Bitmap::Load picks codecs from.
BitmapCodecTable& BitmapCodecs();

}  // namespace zentac

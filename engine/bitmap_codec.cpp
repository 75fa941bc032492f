#include "engine/bitmap_codec.h"

#include "engine/bitmap_codec_jpeg.h"
#include "engine/bitmap_codec_png.h"

namespace zentac {

const BitmapCodec* FindBitmapCodec(const BitmapCodecTable& table, const String& extension) {
    for (const BitmapCodec& codec : table) {
        for (const String& candidate : codec.extensions) {
            if (String::Equal(candidate, extension, false)) return &codec;
        }
    }
    return nullptr;
}

BitmapCodecTable& BitmapCodecs() {
    // The built-in codecs, in the order that settles a shared extension.
    static BitmapCodecTable table = {JpegCodecInfo(), PngCodecInfo()};
    return table;
}

}  // namespace zentac

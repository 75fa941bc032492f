#include "engine/bitmap_codec.h"

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
    static BitmapCodecTable table;
    return table;
}

}  // namespace zentac

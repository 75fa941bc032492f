#pragma once

#include <cstdint>

#include "engine/image/bitmap.h"
#include "engine/image/blitter_rows.h"
#include "engine/image/pixel_format.h"

namespace pixel_test {

inline uint32_t PixelAt(const zentac::Bitmap& bitmap, int x, int y) {
    int bytes = bitmap.Format().BytesPerPixel();
    const uint8_t* p = bitmap.Image() + y * bitmap.Pitch() + x * bytes;
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value |= uint32_t{p[i]} << (8 * i);
    return value;
}

inline void SetPixel(zentac::Bitmap& bitmap, int x, int y, uint32_t value) {
    int bytes = bitmap.Format().BytesPerPixel();
    uint8_t* p = bitmap.Image() + y * bitmap.Pitch() + x * bytes;
    for (int i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

inline void Fill(zentac::Bitmap& bitmap, uint32_t value) {
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) SetPixel(bitmap, x, y, value);
    }
}

// A format of the blitter's known list.
inline zentac::PixelFormat Known(int index) {
    const zentac::KnownLayout& layout = zentac::kKnownLayouts[index];
    zentac::PixelFormat format;
    format.word = layout.word;
    format.redMask = layout.red;
    format.greenMask = layout.green;
    format.blueMask = layout.blue;
    format.alphaMask = layout.alpha;
    format.DeriveChannels();
    if (format.Has(zentac::kPixelIndexed)) format.CreatePalette();
    return format;
}

// The same layout with a word bit that nothing reads, so that the blitter
// does not know it and takes its channel-shift path.
inline zentac::PixelFormat Unlisted(const zentac::PixelFormat& format) {
    zentac::PixelFormat unlisted(format);
    unlisted.word |= 0x01000000;
    return unlisted;
}

}  // namespace pixel_test

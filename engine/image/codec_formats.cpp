#include "engine/image/codec_formats.h"

namespace zentac {

const PixelFormat& Intensity8Format() {
    static const PixelFormat format(8, 0xFF, 0, kPixelInteger);
    return format;
}

const PixelFormat& Argb1555Format() {
    static const PixelFormat format(16, 0x7C00, 0x03E0, 0x001F, 0x8000, kPixelInteger);
    return format;
}

const PixelFormat& Rgb555Format() {
    static const PixelFormat format(16, 0x7C00, 0x03E0, 0x001F, 0, kPixelInteger);
    return format;
}

const PixelFormat& Rgb565Format() {
    static const PixelFormat format(16, 0xF800, 0x07E0, 0x001F, 0, kPixelInteger);
    return format;
}

const PixelFormat& Rgb888Format() {
    static const PixelFormat format(24, 0xFF0000, 0xFF00, 0xFF, 0, kPixelInteger);
    return format;
}

}  // namespace zentac

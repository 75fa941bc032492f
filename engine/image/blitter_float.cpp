#include "engine/image/blitter_float.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "engine/image/bitmap.h"
#include "engine/image/blitter.h"
#include "engine/core/exception.h"

namespace zentac {

namespace {

// 1/255 and the luminance weights over 255, as single-precision constants.
constexpr float kByteToUnit = 0.003921569f;
constexpr float kRedPerByte = 0.0011725490f;
constexpr float kGreenPerByte = 0.0023019607f;
constexpr float kBluePerByte = 0.00044705882f;

// Where the channels of a float format lie, counted in floats from the
// start of the pixel; -1 for a channel the format lacks.
struct FloatLayout {
    bool readable = false;
    bool intensity = false;
    int slot[4] = {-1, -1, -1, -1};  // by Channel
};

FloatLayout LayoutOf(const PixelFormat& format) {
    FloatLayout layout;
    if (!format.Has(kPixelFloat32) || format.Has(kPixelFloat16 | kPixelIndexed)) return layout;
    if (!format.Has(kPixelDirect | kPixelIntensity)) return layout;
    int bytes = format.BytesPerPixel();
    if (bytes < 4 || bytes % 4 != 0) return layout;
    layout.intensity = format.Has(kPixelIntensity);
    const uint32_t masks[4] = {format.blueMask, format.greenMask, format.redMask, format.alphaMask};
    for (int channel = kBlue; channel <= kAlpha; ++channel) {
        if (masks[channel] == 0 || (layout.intensity && (channel == kRed || channel == kGreen))) continue;
        int slot = format.highestBit[channel];
        if (slot >= bytes / 4) return layout;
        layout.slot[channel] = slot;
    }
    layout.readable = true;
    return layout;
}

bool IsIntegerFormat(const PixelFormat& format) {
    return format.Has(kPixelInteger) && !format.Has(kPixelFloat32 | kPixelFloat16);
}

// One pixel as floats; grey is what an intensity format stores.
struct UnitPixel {
    float red;
    float green;
    float blue;
    float alpha;
    float grey;
};

// A channel the format lacks reads as 1.
float ReadChannel(const FloatLayout& layout, const uint8_t* pixel, int channel) {
    if (layout.slot[channel] < 0) return 1.0f;
    float value;
    std::memcpy(&value, pixel + layout.slot[channel] * 4, sizeof value);
    return value;
}

void WriteChannel(const FloatLayout& layout, uint8_t* pixel, int channel, float value) {
    if (layout.slot[channel] >= 0) std::memcpy(pixel + layout.slot[channel] * 4, &value, sizeof value);
}

UnitPixel ReadUnit(const FloatLayout& layout, const uint8_t* pixel) {
    float alpha = ReadChannel(layout, pixel, kAlpha);
    if (layout.intensity) {
        float grey = ReadChannel(layout, pixel, kBlue);
        return {grey, grey, grey, alpha, grey};
    }
    float red = ReadChannel(layout, pixel, kRed);
    float green = ReadChannel(layout, pixel, kGreen);
    float blue = ReadChannel(layout, pixel, kBlue);
    return {red, green, blue, alpha, 0.299f * red + 0.587f * green + 0.114f * blue};
}

void WriteUnit(const FloatLayout& layout, uint8_t* pixel, const UnitPixel& unit) {
    if (layout.intensity) {
        WriteChannel(layout, pixel, kBlue, unit.grey);
    } else {
        WriteChannel(layout, pixel, kRed, unit.red);
        WriteChannel(layout, pixel, kGreen, unit.green);
        WriteChannel(layout, pixel, kBlue, unit.blue);
    }
    WriteChannel(layout, pixel, kAlpha, unit.alpha);
}

// An ARGB8888 pixel lies as blue, green, red, alpha.
UnitPixel FromBytes(const uint8_t* argb) {
    double grey = argb[2] * double{kRedPerByte} + argb[1] * double{kGreenPerByte} + argb[0] * double{kBluePerByte};
    return {argb[2] * kByteToUnit, argb[1] * kByteToUnit, argb[0] * kByteToUnit, argb[3] * kByteToUnit,
            static_cast<float>(grey)};
}

// Values outside 0 to 1 (NaN included) would not fit a byte.
uint8_t ToByte(float value) {
    if (!(value > 0.0f)) return 0;
    if (value >= 1.0f) return 255;
    return static_cast<uint8_t>(value * 255.0f);
}

void ToBytes(const UnitPixel& unit, uint8_t* argb) {
    argb[0] = ToByte(unit.blue);
    argb[1] = ToByte(unit.green);
    argb[2] = ToByte(unit.red);
    argb[3] = ToByte(unit.alpha);
}

// Calls convert(dest pixel, source pixel) over the top-left rectangle
// that both bitmaps cover.
template <typename Convert>
void ForEachPixel(Bitmap& dest, const Bitmap& source, Convert convert) {
    int width = std::min(dest.Width(), source.Width());
    int height = std::min(dest.Height(), source.Height());
    int destBytes = dest.Format().BytesPerPixel();
    int sourceBytes = source.Format().BytesPerPixel();
    for (int y = 0; y < height; ++y) {
        uint8_t* out = dest.Image() + static_cast<size_t>(y) * dest.Pitch();
        const uint8_t* in = source.Image() + static_cast<size_t>(y) * source.Pitch();
        for (int x = 0; x < width; ++x, out += destBytes, in += sourceBytes) convert(out, in);
    }
}

}  // namespace

bool FloatBlit(Bitmap& dest, const Bitmap& source, int mode) {
    if (!dest.Image() || !source.Image()) return false;
    FloatLayout destLayout = LayoutOf(dest.Format());
    FloatLayout sourceLayout = LayoutOf(source.Format());
    bool integerDest = IsIntegerFormat(dest.Format());
    bool integerSource = IsIntegerFormat(source.Format());
    if (!(destLayout.readable || integerDest) || !(sourceLayout.readable || integerSource) ||
        (integerDest && integerSource)) {
        return false;
    }
    bool sizesDiffer = dest.Width() != source.Width() || dest.Height() != source.Height();
    if (sizesDiffer && (mode == kBlitNearest || mode == kBlitBilinear)) {
        ZENTAC_THROW("Bilinear floating-point blitter is not yet supported.");
    }
    int width = std::min(dest.Width(), source.Width());
    int height = std::min(dest.Height(), source.Height());

    if (sourceLayout.readable && destLayout.readable) {
        ForEachPixel(dest, source, [&](uint8_t* out, const uint8_t* in) {
            WriteUnit(destLayout, out, ReadUnit(sourceLayout, in));
        });
        return true;
    }
    // Integer pixels meet float ones as ARGB8888 bytes.
    Bitmap bytes(width, height, ArgbFormat());
    if (destLayout.readable) {
        if (!Blit(bytes, source, kBlitCopy)) return false;
        ForEachPixel(dest, bytes, [&](uint8_t* out, const uint8_t* in) { WriteUnit(destLayout, out, FromBytes(in)); });
        return true;
    }
    ForEachPixel(bytes, source, [&](uint8_t* out, const uint8_t* in) { ToBytes(ReadUnit(sourceLayout, in), out); });
    return Blit(dest, bytes, kBlitCopy);
}

}  // namespace zentac

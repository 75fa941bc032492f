#include "engine/image/blitter.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "engine/image/bitmap.h"
#include "engine/image/blitter_float.h"
#include "engine/image/blitter_rows.h"

namespace zentac {

namespace {

constexpr int kCacheSlots = 64;

// Cached Blitters stay until they are evicted from their slot.
std::unique_ptr<Blitter>& CacheSlot(int slot) {
    static std::unique_ptr<Blitter> cache[kCacheSlots];
    return cache[slot];
}

int SlotOf(const PixelFormat& dest, const PixelFormat& source, uint32_t operation) {
    int s = HighestBit(source.alphaMask) ^ HighestBit(source.blueMask) ^ HighestBit(source.greenMask) ^
            HighestBit(source.redMask) ^ source.BytesPerPixel();
    int d = HighestBit(dest.alphaMask) ^ HighestBit(dest.blueMask) ^ HighestBit(dest.greenMask) ^
            HighestBit(dest.redMask);
    return (((static_cast<int>(operation & 3) << 3) ^ (s & 7)) << 1) ^ (d & 15) ^ static_cast<int>((dest.word >> 3) & 15);
}

// Start and step of one axis in 16.16 fixed point.
struct AxisSteps {
    int64_t start;
    int64_t step;
};

AxisSteps StepsFor(int64_t sourceSize, int64_t destSize, bool filter) {
    if (!filter) {
        int64_t step = (sourceSize << 16) / destSize;
        return {step >> 1, step};
    }
    if (destSize >= sourceSize) {
        // Enlarging spans the first to the last source pixel exactly.
        return {0, ((sourceSize << 16) - 0x10000) / std::max<int64_t>(destSize - 1, 1)};
    }
    int64_t step = (sourceSize << 16) / destSize;
    return {(step >> 1) - 32768, step};
}

void CopyRows(Bitmap& dest, const Bitmap& source) {
    int rows = std::min(dest.Height(), source.Height());
    size_t bytes = static_cast<size_t>(dest.Format().BytesPerPixel()) * std::min(dest.Width(), source.Width());
    uint8_t* out = dest.Image();
    const uint8_t* in = source.Image();
    for (int y = 0; y < rows; ++y, out += dest.Pitch(), in += source.Pitch()) std::memmove(out, in, bytes);
}

void RunRows(const Blitter& blitter, Bitmap& dest, const Bitmap& source) {
    BlitRow row;
    row.dest = dest.Image();
    row.sourceWidth = source.Width();
    if (!(blitter.operation & kBlitResize)) {
        row.width = std::min(dest.Width(), source.Width());
        row.source = source.Image();
        int rows = std::min(dest.Height(), source.Height());
        for (int y = 0; y < rows; ++y, row.dest += dest.Pitch(), row.source += source.Pitch()) {
            row.nextSource = row.source;
            blitter.rowFunction(blitter, row);
        }
        return;
    }
    bool filter = (blitter.operation & kBlitFilter) != 0;
    AxisSteps x = StepsFor(source.Width(), dest.Width(), filter);
    AxisSteps y = StepsFor(source.Height(), dest.Height(), filter);
    row.width = dest.Width();
    row.xStart = x.start;
    row.xStep = x.step;
    int64_t ypos = y.start;
    for (int destY = 0; destY < dest.Height(); ++destY, ypos += y.step, row.dest += dest.Pitch()) {
        int64_t sourceY = ypos >> 16;
        row.source = source.Image() + sourceY * source.Pitch();
        // The last source row has no row below: filters read it again, as
        // they do with the last column.
        row.nextSource = sourceY + 1 < source.Height() ? row.source + source.Pitch() : row.source;
        row.yFraction = static_cast<uint32_t>(ypos & 0xFFFF);
        blitter.rowFunction(blitter, row);
    }
}

}  // namespace

ChannelShift MakeFilterShift(uint32_t mask) {
    if (mask == 0) return {};
    int high = HighestBit(mask);
    uint32_t left = high < 7 ? static_cast<uint32_t>(7 - high) : 0;
    uint32_t right = high < 7 ? 0 : static_cast<uint32_t>(high - 7);
    return {left, right, ((255u >> left) << right) & mask};
}

int KnownFormatIndex(const PixelFormat& format) {
    for (int i = 0; i < kKnownFormatCount; ++i) {
        const KnownLayout& known = kKnownLayouts[i];
        if (format.word == known.word && format.redMask == known.red && format.greenMask == known.green &&
            format.blueMask == known.blue && format.alphaMask == known.alpha &&
            format.HasPalette() == ((known.word & kPixelIndexed) != 0)) {
            return i;
        }
    }
    return -1;
}

Blitter::Blitter(const PixelFormat& dest, const PixelFormat& source, uint32_t operation)
    : destFormat(dest), sourceFormat(source), operation(operation) {
    int sourceBytes = source.BytesPerPixel();
    int destBytes = dest.BytesPerPixel();
    if (sourceBytes < 1 || sourceBytes > 4 || destBytes < 1 || destBytes > 4) return;
    // Indexed targets are made by quantising, never by a blit.
    if (dest.Has(kPixelIndexed) && !source.Has(kPixelIndexed)) return;
    int known = KnownFormatIndex(source);
    switch (operation) {
        case kBlitResize:
            rowFunction = CopyRow(sourceBytes);
            break;
        case kBlitConvert:
        case kBlitConvert | kBlitResize:
            SetUpConversion(known, KnownFormatIndex(dest), sourceBytes, destBytes);
            break;
        case kBlitFilter | kBlitResize:
            SetUpFilter(known, sourceBytes);
            break;
        default:
            break;
    }
}

void Blitter::SetUpConversion(int known, int knownDest, int sourceBytes, int destBytes) {
    const PixelFormat& source = sourceFormat;
    const PixelFormat& dest = destFormat;
    bool resize = (operation & kBlitResize) != 0;
    // Pixels without alpha come out opaque.
    alphaFill = source.alphaMask == 0 ? dest.alphaMask : 0;
    if (source.Has(kPixelIndexed)) {
        alpha = MakeAlphaShift(source.alphaMask, dest.alphaMask);
        if (dest.Has(kPixelIndexed)) {
            // Index to index moves the index like a channel, stepping
            // through the source when resizing.
            blue = MakeChannelShift(source.blueMask, dest.blueMask);
            rowFunction = ConvertRow(sourceBytes, destBytes, resize);
            return;
        }
        index = MakeChannelShift(source.blueMask, 0xFF);
        usesPalette = true;
        rowFunction = known == kKnownIndexed8 && knownDest != -1 ? KnownIndexLookupRow(destBytes, resize)
                                                                : IndexLookupRow(sourceBytes, destBytes, resize);
        return;
    }
    if (known != -1 && knownDest != -1) {
        rowFunction = KnownPairRow(known, knownDest, resize);
        if (rowFunction) return;
    }
    bool greySource = source.Has(kPixelIntensity);
    uint32_t sourceRed = greySource ? source.blueMask : source.redMask;
    uint32_t sourceGreen = greySource ? source.blueMask : source.greenMask;
    alpha = MakeAlphaShift(source.alphaMask, dest.alphaMask);
    if (dest.Has(kPixelIntensity)) {
        red = MakeChannelShift(sourceRed, 0xFF);
        green = MakeChannelShift(sourceGreen, 0xFF);
        blue = MakeChannelShift(source.blueMask, 0xFF);
        luminance = MakeChannelShift(0xFF, dest.blueMask);
        rowFunction = LuminanceRow(sourceBytes, destBytes, resize);
    } else {
        red = MakeChannelShift(sourceRed, dest.redMask);
        green = MakeChannelShift(sourceGreen, dest.greenMask);
        blue = MakeChannelShift(source.blueMask, dest.blueMask);
        rowFunction = ConvertRow(sourceBytes, destBytes, resize);
    }
}

void Blitter::SetUpFilter(int known, int sourceBytes) {
    const PixelFormat& source = sourceFormat;
    if (known != -1) {
        rowFunction = KnownFilterRow(known);
        if (rowFunction) return;
    }
    if (source.Has(kPixelIndexed)) {
        // Blending indices means nothing: resize by nearest neighbour.
        operation = kBlitResize;
        rowFunction = CopyRow(sourceBytes);
    } else if (source.Has(kPixelIntensity)) {
        luminance = MakeFilterShift(source.blueMask);
        alpha.top = MakeFilterShift(source.alphaMask);
        rowFunction = IntensityFilterRow(sourceBytes);
    } else {
        red = MakeFilterShift(source.redMask);
        green = MakeFilterShift(source.greenMask);
        blue = MakeFilterShift(source.blueMask);
        alpha.top = MakeFilterShift(source.alphaMask);
        rowFunction = ChannelFilterRow(sourceBytes);
    }
}

void Blitter::PreparePalette(const PixelFormat& source) {
    if (!source.HasPalette()) {
        std::memset(paletteLookup, 0, sizeof paletteLookup);
        return;
    }
    // A private converter: going through the cache could evict this very Blitter.
    Blitter toDest(destFormat, ArgbFormat(), kBlitConvert);
    if (!toDest.rowFunction) return;
    uint8_t entries[PixelFormat::kPaletteSize * 4];
    const uint32_t* palette = source.Palette();
    for (int i = 0; i < PixelFormat::kPaletteSize; ++i) {
        for (int byte = 0; byte < 4; ++byte) entries[i * 4 + byte] = static_cast<uint8_t>(palette[i] >> (8 * byte));
    }
    BlitRow row;
    row.dest = paletteLookup;
    row.source = entries;
    row.nextSource = entries;
    row.width = PixelFormat::kPaletteSize;
    toDest.rowFunction(toDest, row);
}

bool Blitter::Matches(const PixelFormat& dest, const PixelFormat& source, uint32_t op) const {
    return operation == op && sourceFormat.SameLayout(source) && destFormat.SameLayout(dest);
}

Blitter* GetBlitter(const PixelFormat& dest, const PixelFormat& source, uint32_t operation) {
    if (operation & kBlitConvert) operation &= ~kBlitFilter;
    std::unique_ptr<Blitter>& slot = CacheSlot(SlotOf(dest, source, operation));
    if (!slot || !slot->Matches(dest, source, operation)) {
        slot = std::make_unique<Blitter>(dest, source, operation);
    }
    if (slot->usesPalette) slot->PreparePalette(source);
    return slot.get();
}

bool Blit(Bitmap& dest, const Bitmap& source, int mode) {
    if (!dest.Image() || !source.Image() || dest.Width() <= 0 || dest.Height() <= 0 || source.Width() <= 0 ||
        source.Height() <= 0) {
        return false;
    }
    uint32_t operation = dest.Format().SameLayout(source.Format()) ? 0 : kBlitConvert;
    if (dest.Width() != source.Width() || dest.Height() != source.Height()) {
        if (mode == kBlitNearest) operation |= kBlitResize;
        if (mode == kBlitBilinear) operation |= kBlitResize | kBlitFilter;
    }
    if (operation == 0) {
        CopyRows(dest, source);
        return true;
    }
    // Float channels are the float blitter's.
    if (!dest.Format().Has(kPixelInteger) || !source.Format().Has(kPixelInteger)) {
        return FloatBlit(dest, source, mode);
    }
    Blitter* blitter = GetBlitter(dest.Format(), source.Format(), operation);
    if (!blitter->rowFunction) return false;
    RunRows(*blitter, dest, source);
    return true;
}

}  // namespace zentac

#pragma once

#include <cstdint>

#include "engine/image/pixel_format.h"

namespace zentac {

class Bitmap;
class Blitter;

// Moves one channel: ((pixel >> right) << left) & mask.
struct ChannelShift {
    uint32_t left = 0;
    uint32_t right = 0;
    uint32_t mask = 0;

    constexpr uint32_t Apply(uint32_t pixel) const { return ((pixel >> right) << left) & mask; }
};

// Aligns the top bits of the two channels: narrowing drops low bits,
// widening leaves the new low bits 0. Either mask empty moves nothing.
constexpr ChannelShift MakeChannelShift(uint32_t sourceMask, uint32_t destMask) {
    if (sourceMask == 0 || destMask == 0) return {};
    int d = HighestBit(destMask) - HighestBit(sourceMask);
    uint32_t left = d >= 1 ? static_cast<uint32_t>(d) : 0;
    uint32_t right = d >= 1 ? 0 : static_cast<uint32_t>(-d);
    return {left, right, ((sourceMask >> right) << left) & destMask};
}

// Moves an alpha channel: aligned to the top like a colour, then, when the
// destination is wider, repeated down into the new low bits, so that all
// ones stay all ones and an opaque pixel stays opaque whatever the width of
// its alpha (two bits 11 become 0xFF, not 0xC0).
struct AlphaShift {
    ChannelShift top;
    uint64_t copies = 1;  // 1 + 2^w + 2^2w + ... for a source w bits wide
    uint32_t drop = 0;    // how far the last copy lies above the top
    uint32_t mask = 0;    // the destination's alpha

    constexpr uint32_t Apply(uint32_t pixel) const {
        return static_cast<uint32_t>(top.Apply(pixel) * copies >> drop) & mask;
    }
};

constexpr AlphaShift MakeAlphaShift(uint32_t sourceMask, uint32_t destMask) {
    if (sourceMask == 0 || destMask == 0) return {};
    AlphaShift shift{MakeChannelShift(sourceMask, destMask), 1, 0, destMask};
    int width = HighestBit(sourceMask) - LowestBit(sourceMask) + 1;
    int room = HighestBit(destMask) - LowestBit(destMask) + 1;
    for (int filled = width; filled < room; filled += width) {
        shift.copies = shift.copies << width | 1;
        shift.drop += static_cast<uint32_t>(width);
    }
    return shift;
}

// Maps a channel to an 8-bit value for the filters, which read it as
// ((pixel >> right) << left) & 255 and write it back as
// (((value >> left) & 255) << right) & mask. An empty mask writes 0.
ChannelShift MakeFilterShift(uint32_t mask);

// One destination row for a row function. Positions are 16.16 fixed point,
// kept in 64 bits so that large images do not overflow.
struct BlitRow {
    uint8_t* dest = nullptr;
    const uint8_t* source = nullptr;
    const uint8_t* nextSource = nullptr;  // the row below; the same row at the last source row
    int32_t width = 0;                    // destination pixels
    int64_t xStart = 0;
    int64_t xStep = 0;
    uint32_t yFraction = 0;   // low 16 bits of the source y position
    int32_t sourceWidth = 0;  // filters never read past this column
};

using RowFunction = void (*)(const Blitter&, const BlitRow&);

// Bits of a blit operation.
inline constexpr uint32_t kBlitResize = 1;
inline constexpr uint32_t kBlitConvert = 2;
inline constexpr uint32_t kBlitFilter = 4;

// Modes of Blit.
enum BlitMode : int { kBlitCopy = 0, kBlitNearest = 1, kBlitBilinear = 2 };

// The eight formats with hand-written row functions, by known index.
enum KnownFormat : int {
    kKnownIndexed8 = 0,
    kKnownIntensity8,
    kKnownRgb332,
    kKnownRgb565,
    kKnownRgb888,
    kKnownArgb1555,
    kKnownArgb4444,
    kKnownArgb8888,
    kKnownFormatCount
};

// Position in the known list, or -1: word, masks and palette presence
// must match (only the indexed entry has a palette).
int KnownFormatIndex(const PixelFormat& format);

// Everything one (destination, source, operation) needs, decided once:
// the channel moves and the row function that applies them.
class Blitter {
public:
    Blitter(const PixelFormat& dest, const PixelFormat& source, uint32_t operation);

    // Fills paletteLookup from the palette of the bitmap at hand.
    void PreparePalette(const PixelFormat& source);
    bool Matches(const PixelFormat& dest, const PixelFormat& source, uint32_t operation) const;

    ChannelShift red;
    ChannelShift green;
    ChannelShift blue;
    AlphaShift alpha;        // the filters use its top shift alone
    ChannelShift index;      // an indexed source's index to 8 bits
    ChannelShift luminance;  // a luminance byte, or the grey channel when filtering
    uint32_t alphaFill = 0;  // ORed into every converted pixel
    PixelFormat destFormat;
    PixelFormat sourceFormat;
    uint32_t operation;
    RowFunction rowFunction = nullptr;  // null: the blit writes nothing
    bool usesPalette = false;
    // 256 destination pixels packed at the destination's bytes per pixel.
    uint8_t paletteLookup[PixelFormat::kPaletteSize * 4] = {};

private:
    void SetUpConversion(int known, int knownDest, int sourceBytes, int destBytes);
    void SetUpFilter(int known, int sourceBytes);
};

// The cached Blitter for the formats and operation, its palette lookup
// made from source's palette; its row function is null when no row
// function serves the pair. A convert never filters: it resizes by
// nearest neighbour instead.
Blitter* GetBlitter(const PixelFormat& dest, const PixelFormat& source, uint32_t operation);

// Copies source into the existing image of dest, converting the format
// and, by mode, resizing. True when it wrote dest.
bool Blit(Bitmap& dest, const Bitmap& source, int mode);

}  // namespace zentac

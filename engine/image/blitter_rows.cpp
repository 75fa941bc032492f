#include "engine/image/blitter_rows.h"

#include <algorithm>
#include <array>
#include <utility>

namespace zentac {

namespace {

// Pixels are little-endian words of 1 to 4 bytes; a 3-byte pixel lies as
// blue, green, red.
template <int N>
inline uint32_t ReadPixel(const uint8_t* p) {
    uint32_t value = p[0];
    if constexpr (N > 1) value |= uint32_t{p[1]} << 8;
    if constexpr (N > 2) value |= uint32_t{p[2]} << 16;
    if constexpr (N > 3) value |= uint32_t{p[3]} << 24;
    return value;
}

template <int N>
inline void WritePixel(uint8_t* p, uint32_t value) {
    p[0] = static_cast<uint8_t>(value);
    if constexpr (N > 1) p[1] = static_cast<uint8_t>(value >> 8);
    if constexpr (N > 2) p[2] = static_cast<uint8_t>(value >> 16);
    if constexpr (N > 3) p[3] = static_cast<uint8_t>(value >> 24);
}

// Weights of an 8-bit value in the grey level, truncated from single
// precision products: white sums to 254.
struct LuminanceWeights {
    uint8_t blue;
    uint8_t green;
    uint8_t red;
};

constexpr std::array<LuminanceWeights, 256> MakeLuminanceTable() {
    std::array<LuminanceWeights, 256> table{};
    for (int i = 0; i < 256; ++i) {
        float level = static_cast<float>(i);
        table[i] = {static_cast<uint8_t>(level * 0.114f), static_cast<uint8_t>(level * 0.587f),
                    static_cast<uint8_t>(level * 0.299f)};
    }
    return table;
}

constexpr std::array<LuminanceWeights, 256> kLuminance = MakeLuminanceTable();
static_assert(kLuminance[255].blue == 29 && kLuminance[255].green == 149 && kLuminance[255].red == 76);

// Arguments are 8-bit values.
inline uint32_t Luminance(uint32_t red, uint32_t green, uint32_t blue) {
    return uint32_t{kLuminance[red].red} + kLuminance[green].green + kLuminance[blue].blue;
}

// Source pixels in order, or sampled at xpos >> 16 while resizing.
template <int SB, bool Resize>
class SourceWalk {
public:
    explicit SourceWalk(const BlitRow& row) : pixel_(row.source), xpos_(row.xStart), step_(row.xStep) {}

    uint32_t Next() {
        if constexpr (Resize) {
            uint32_t value = ReadPixel<SB>(pixel_ + (xpos_ >> 16) * SB);
            xpos_ += step_;
            return value;
        } else {
            uint32_t value = ReadPixel<SB>(pixel_);
            pixel_ += SB;
            return value;
        }
    }

private:
    const uint8_t* pixel_;
    int64_t xpos_;
    int64_t step_;
};

template <int SB, int DB, bool Resize, class PixelRule>
inline void MapRow(const BlitRow& row, PixelRule rule) {
    SourceWalk<SB, Resize> walk(row);
    uint8_t* out = row.dest;
    for (int32_t x = 0; x < row.width; ++x, out += DB) WritePixel<DB>(out, rule(walk.Next()));
}

// The generic families copy what they need out of the Blitter first: the
// byte stores of the loop could otherwise alias it.

template <int SB, int DB, bool Resize>
void ConvertRowT(const Blitter& b, const BlitRow& row) {
    const ChannelShift red = b.red, green = b.green, blue = b.blue;
    const AlphaShift alpha = b.alpha;
    const uint32_t fill = b.alphaFill;
    MapRow<SB, DB, Resize>(row, [=](uint32_t p) {
        return red.Apply(p) | green.Apply(p) | blue.Apply(p) | alpha.Apply(p) | fill;
    });
}

template <int SB, int DB, bool Resize>
void LuminanceRowT(const Blitter& b, const BlitRow& row) {
    const ChannelShift red = b.red, green = b.green, blue = b.blue;
    const AlphaShift alpha = b.alpha;
    const ChannelShift luminance = b.luminance;
    const uint32_t fill = b.alphaFill;
    MapRow<SB, DB, Resize>(row, [=](uint32_t p) {
        uint32_t level = Luminance(red.Apply(p), green.Apply(p), blue.Apply(p));
        return luminance.Apply(level) | alpha.Apply(p) | fill;
    });
}

template <int SB, int DB, bool Resize>
void IndexLookupRowT(const Blitter& b, const BlitRow& row) {
    const ChannelShift index = b.index;
    const AlphaShift alpha = b.alpha;
    const uint32_t fill = b.alphaFill;
    const uint8_t* lookup = b.paletteLookup;
    MapRow<SB, DB, Resize>(row, [=](uint32_t p) {
        return ReadPixel<DB>(lookup + index.Apply(p) * DB) | alpha.Apply(p) | fill;
    });
}

template <int DB, bool Resize>
void KnownIndexLookupRowT(const Blitter& b, const BlitRow& row) {
    const uint32_t fill = b.alphaFill;
    const uint8_t* lookup = b.paletteLookup;
    MapRow<1, DB, Resize>(row, [=](uint32_t p) { return ReadPixel<DB>(lookup + p * DB) | fill; });
}

template <int SB>
void CopyRowT(const Blitter&, const BlitRow& row) {
    MapRow<SB, SB, true>(row, [](uint32_t p) { return p; });
}

// Known pairs: every shift is a constant. Colours keep their top bits,
// alpha widens as everywhere (ARGB4444 to ARGB8888 is alpha x 17), and a
// missing alpha becomes opaque.

constexpr int KnownBytes(int known) { return static_cast<int>((kKnownLayouts[known].word >> 3) & 0x1FFF); }

constexpr bool KnownIsIntensity(int known) { return (kKnownLayouts[known].word & kPixelIntensity) != 0; }

template <int S, int D>
constexpr uint32_t KnownAlpha(uint32_t p) {
    constexpr KnownLayout source = kKnownLayouts[S];
    constexpr KnownLayout dest = kKnownLayouts[D];
    if constexpr (source.alpha == 0) {
        return dest.alpha;
    } else {
        constexpr AlphaShift alpha = MakeAlphaShift(source.alpha, dest.alpha);
        return alpha.Apply(p);
    }
}

template <int S, int D>
constexpr uint32_t ConvertKnown(uint32_t p) {
    constexpr KnownLayout source = kKnownLayouts[S];
    constexpr KnownLayout dest = kKnownLayouts[D];
    // A grey source feeds its level to every colour channel.
    constexpr uint32_t sourceRed = KnownIsIntensity(S) ? source.blue : source.red;
    constexpr uint32_t sourceGreen = KnownIsIntensity(S) ? source.blue : source.green;
    if constexpr (KnownIsIntensity(D)) {
        constexpr ChannelShift red = MakeChannelShift(sourceRed, 0xFF);
        constexpr ChannelShift green = MakeChannelShift(sourceGreen, 0xFF);
        constexpr ChannelShift blue = MakeChannelShift(source.blue, 0xFF);
        return Luminance(red.Apply(p), green.Apply(p), blue.Apply(p));
    } else {
        constexpr ChannelShift red = MakeChannelShift(sourceRed, dest.red);
        constexpr ChannelShift green = MakeChannelShift(sourceGreen, dest.green);
        constexpr ChannelShift blue = MakeChannelShift(source.blue, dest.blue);
        return red.Apply(p) | green.Apply(p) | blue.Apply(p) | KnownAlpha<S, D>(p);
    }
}

template <int S, int D, bool Resize>
void KnownPairRowT(const Blitter&, const BlitRow& row) {
    MapRow<KnownBytes(S), KnownBytes(D), Resize>(row, ConvertKnown<S, D>);
}

// Filters: x first in both rows, then between the rows, each step as
// (a * (2^bits - f) + b * f) >> bits.

template <int Bits>
inline uint32_t Lerp(uint32_t a, uint32_t b, uint32_t f) {
    return (a * ((1u << Bits) - f) + b * f) >> Bits;
}

// Channels spread apart in one word filter together; the mask drops what
// one lane's fraction leaves below its own bits.
template <int Bits, uint32_t Lanes>
inline uint32_t Bilinear(uint32_t p00, uint32_t p01, uint32_t p10, uint32_t p11, uint32_t fx, uint32_t fy) {
    uint32_t top = Lerp<Bits>(p00, p01, fx) & Lanes;
    uint32_t bottom = Lerp<Bits>(p10, p11, fx) & Lanes;
    return Lerp<Bits>(top, bottom, fy) & Lanes;
}

template <int SB, class Blend>
inline void FilterRow(const BlitRow& row, Blend blend) {
    const uint8_t* top = row.source;
    const uint8_t* bottom = row.nextSource;
    const int64_t lastColumn = row.sourceWidth - 1;
    const uint32_t fy = row.yFraction;
    int64_t xpos = row.xStart;
    uint8_t* out = row.dest;
    for (int32_t x = 0; x < row.width; ++x, out += SB, xpos += row.xStep) {
        int64_t left = xpos >> 16;
        int64_t right = std::min(left + 1, lastColumn);
        uint32_t fx = static_cast<uint32_t>(xpos & 0xFFFF);
        WritePixel<SB>(out, blend(ReadPixel<SB>(top + left * SB), ReadPixel<SB>(top + right * SB),
                                  ReadPixel<SB>(bottom + left * SB), ReadPixel<SB>(bottom + right * SB), fx, fy));
    }
}

void FilterIntensity8Row(const Blitter&, const BlitRow& row) {
    FilterRow<1>(row, [](uint32_t p00, uint32_t p01, uint32_t p10, uint32_t p11, uint32_t fx, uint32_t fy) {
        return Bilinear<8, 0xFF>(p00, p01, p10, p11, fx >> 8, fy >> 8);
    });
}

// Five-bit fractions over a pixel spread across a word: blue and red in
// the low half, green in the high half. Bits outside the colours (the alpha
// of ARGB1555) are not blended: they come from the top-left pixel.
template <uint32_t Lanes, uint32_t Colours>
void FilterSpread16Row(const Blitter&, const BlitRow& row) {
    FilterRow<2>(row, [](uint32_t p00, uint32_t p01, uint32_t p10, uint32_t p11, uint32_t fx, uint32_t fy) {
        auto spread = [](uint32_t p) { return (p | p << 16) & Lanes; };
        uint32_t v = Bilinear<5, Lanes>(spread(p00), spread(p01), spread(p10), spread(p11), fx >> 11, fy >> 11);
        return ((v | v >> 16) & Colours) | (p00 & 0xFFFF & ~Colours);
    });
}

// Every nibble in a byte lane of its own.
inline uint32_t Spread4444(uint32_t p) { return (p & 0x0F0F) | (p & 0xF0F0) << 12; }

void FilterArgb4444Row(const Blitter&, const BlitRow& row) {
    FilterRow<2>(row, [](uint32_t p00, uint32_t p01, uint32_t p10, uint32_t p11, uint32_t fx, uint32_t fy) {
        uint32_t v = Bilinear<4, 0x0F0F0F0F>(Spread4444(p00), Spread4444(p01), Spread4444(p10), Spread4444(p11),
                                             fx >> 12, fy >> 12);
        return (v & 0x0F0F) | ((v >> 12) & 0xF0F0);
    });
}

// Byte channels, two per multiply: blue and red, then green and alpha.
template <int SB>
void FilterBytesRow(const Blitter&, const BlitRow& row) {
    FilterRow<SB>(row, [](uint32_t p00, uint32_t p01, uint32_t p10, uint32_t p11, uint32_t fx, uint32_t fy) {
        constexpr uint32_t kLanes = 0x00FF00FF;
        fx >>= 8;
        fy >>= 8;
        uint32_t low = Bilinear<8, kLanes>(p00 & kLanes, p01 & kLanes, p10 & kLanes, p11 & kLanes, fx, fy);
        uint32_t high = Bilinear<8, kLanes>(p00 >> 8 & kLanes, p01 >> 8 & kLanes, p10 >> 8 & kLanes,
                                            p11 >> 8 & kLanes, fx, fy);
        return low | high << 8;
    });
}

// One channel of any format through its filter shift, at 16-bit fractions.
inline uint32_t FilterChannel(const ChannelShift& shift, uint32_t p00, uint32_t p01, uint32_t p10, uint32_t p11,
                              uint32_t fx, uint32_t fy) {
    auto read = [&shift](uint32_t p) { return ((p >> shift.right) << shift.left) & 255; };
    uint32_t value = Bilinear<16, 0xFF>(read(p00), read(p01), read(p10), read(p11), fx, fy);
    return (((value >> shift.left) & 255) << shift.right) & shift.mask;
}

template <int SB>
void IntensityFilterRowT(const Blitter& b, const BlitRow& row) {
    const ChannelShift grey = b.luminance, alpha = b.alpha.top;
    FilterRow<SB>(row, [=](uint32_t p00, uint32_t p01, uint32_t p10, uint32_t p11, uint32_t fx, uint32_t fy) {
        return FilterChannel(grey, p00, p01, p10, p11, fx, fy) | FilterChannel(alpha, p00, p01, p10, p11, fx, fy);
    });
}

template <int SB>
void ChannelFilterRowT(const Blitter& b, const BlitRow& row) {
    const ChannelShift red = b.red, green = b.green, blue = b.blue, alpha = b.alpha.top;
    FilterRow<SB>(row, [=](uint32_t p00, uint32_t p01, uint32_t p10, uint32_t p11, uint32_t fx, uint32_t fy) {
        return FilterChannel(red, p00, p01, p10, p11, fx, fy) | FilterChannel(green, p00, p01, p10, p11, fx, fy) |
               FilterChannel(blue, p00, p01, p10, p11, fx, fy) | FilterChannel(alpha, p00, p01, p10, p11, fx, fy);
    });
}

// Tables by (source bytes - 1) * 4 + (dest bytes - 1).

using WidthTable = std::array<RowFunction, 16>;

template <template <int, int, bool> class Row, bool Resize, std::size_t... I>
constexpr WidthTable MakeWidthTable(std::index_sequence<I...>) {
    return {Row<static_cast<int>(I / 4) + 1, static_cast<int>(I % 4) + 1, Resize>::kRun...};
}

template <template <int, int, bool> class Row, bool Resize>
constexpr WidthTable kWidthTable = MakeWidthTable<Row, Resize>(std::make_index_sequence<16>());

template <int SB, int DB, bool Resize>
struct ConvertFamily {
    static constexpr RowFunction kRun = ConvertRowT<SB, DB, Resize>;
};

template <int SB, int DB, bool Resize>
struct LuminanceFamily {
    static constexpr RowFunction kRun = LuminanceRowT<SB, DB, Resize>;
};

template <int SB, int DB, bool Resize>
struct IndexLookupFamily {
    static constexpr RowFunction kRun = IndexLookupRowT<SB, DB, Resize>;
};

RowFunction PickByWidth(const WidthTable& plain, const WidthTable& resizing, int sourceBytes, int destBytes,
                        bool resize) {
    return (resize ? resizing : plain)[(sourceBytes - 1) * 4 + destBytes - 1];
}

// Known pairs by source * 8 + dest; none for the indexed format or on the diagonal.
using KnownPairTable = std::array<RowFunction, kKnownFormatCount * kKnownFormatCount>;

template <std::size_t I, bool Resize>
constexpr RowFunction KnownPairEntry() {
    constexpr int s = static_cast<int>(I) / kKnownFormatCount;
    constexpr int d = static_cast<int>(I) % kKnownFormatCount;
    if constexpr (s == kKnownIndexed8 || d == kKnownIndexed8 || s == d) {
        return nullptr;
    } else {
        return KnownPairRowT<s, d, Resize>;
    }
}

template <bool Resize, std::size_t... I>
constexpr KnownPairTable MakeKnownPairTable(std::index_sequence<I...>) {
    return {KnownPairEntry<I, Resize>()...};
}

template <bool Resize>
constexpr KnownPairTable kKnownPairs = MakeKnownPairTable<Resize>(std::make_index_sequence<64>());

}  // namespace

RowFunction CopyRow(int sourceBytes) {
    static constexpr RowFunction kRows[4] = {CopyRowT<1>, CopyRowT<2>, CopyRowT<3>, CopyRowT<4>};
    return kRows[sourceBytes - 1];
}

RowFunction ConvertRow(int sourceBytes, int destBytes, bool resize) {
    return PickByWidth(kWidthTable<ConvertFamily, false>, kWidthTable<ConvertFamily, true>, sourceBytes, destBytes,
                       resize);
}

RowFunction LuminanceRow(int sourceBytes, int destBytes, bool resize) {
    return PickByWidth(kWidthTable<LuminanceFamily, false>, kWidthTable<LuminanceFamily, true>, sourceBytes,
                       destBytes, resize);
}

RowFunction IndexLookupRow(int sourceBytes, int destBytes, bool resize) {
    return PickByWidth(kWidthTable<IndexLookupFamily, false>, kWidthTable<IndexLookupFamily, true>, sourceBytes,
                       destBytes, resize);
}

RowFunction KnownIndexLookupRow(int destBytes, bool resize) {
    static constexpr RowFunction kPlain[4] = {KnownIndexLookupRowT<1, false>, KnownIndexLookupRowT<2, false>,
                                              KnownIndexLookupRowT<3, false>, KnownIndexLookupRowT<4, false>};
    static constexpr RowFunction kResizing[4] = {KnownIndexLookupRowT<1, true>, KnownIndexLookupRowT<2, true>,
                                                 KnownIndexLookupRowT<3, true>, KnownIndexLookupRowT<4, true>};
    return (resize ? kResizing : kPlain)[destBytes - 1];
}

RowFunction KnownPairRow(int source, int dest, bool resize) {
    return (resize ? kKnownPairs<true> : kKnownPairs<false>)[source * kKnownFormatCount + dest];
}

RowFunction KnownFilterRow(int source) {
    static constexpr RowFunction kRows[kKnownFormatCount] = {
        nullptr,
        FilterIntensity8Row,
        nullptr,
        FilterSpread16Row<0x07E0F81F, 0xFFFF>,
        FilterBytesRow<3>,
        FilterSpread16Row<0x03E07C1F, 0x7FFF>,
        FilterArgb4444Row,
        FilterBytesRow<4>,
    };
    return kRows[source];
}

RowFunction IntensityFilterRow(int sourceBytes) {
    static constexpr RowFunction kRows[4] = {IntensityFilterRowT<1>, IntensityFilterRowT<2>, IntensityFilterRowT<3>,
                                             IntensityFilterRowT<4>};
    return kRows[sourceBytes - 1];
}

RowFunction ChannelFilterRow(int sourceBytes) {
    static constexpr RowFunction kRows[4] = {ChannelFilterRowT<1>, ChannelFilterRowT<2>, ChannelFilterRowT<3>,
                                             ChannelFilterRowT<4>};
    return kRows[sourceBytes - 1];
}

}  // namespace zentac

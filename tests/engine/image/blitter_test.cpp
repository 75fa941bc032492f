#include "engine/image/blitter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "engine/image/bitmap.h"
#include "engine/image/blitter_rows.h"
#include "pixel_helpers.h"

using pixel_test::Fill;
using pixel_test::Known;
using pixel_test::PixelAt;
using pixel_test::SetPixel;
using pixel_test::Unlisted;
using zentac::Bitmap;
using zentac::Blit;
using zentac::PixelFormat;

namespace {

const PixelFormat kGreyAlpha(16, 0x00FF, 0xFF00, zentac::kPixelInteger);

// One row per height of every value of a format up to 16 bits wide, or of
// 65536 spread values of a wider one.
Bitmap EveryValue(const PixelFormat& format, int height) {
    int bits = format.BitsPerPixel();
    std::vector<uint32_t> values;
    if (bits <= 16) {
        for (uint32_t v = 0; v < (1u << bits); ++v) values.push_back(v);
    } else {
        uint32_t all = bits == 32 ? 0xFFFFFFFF : (1u << bits) - 1;
        std::mt19937 random(static_cast<unsigned>(bits));
        values = {0, all};
        while (values.size() < 65536) values.push_back(random() & all);
    }
    Bitmap bitmap(static_cast<int>(values.size()), height, format);
    for (int y = 0; y < height; ++y) {
        for (size_t x = 0; x < values.size(); ++x) SetPixel(bitmap, static_cast<int>(x), y, values[x]);
    }
    return bitmap;
}

Bitmap Blitted(const PixelFormat& format, const Bitmap& source, int width, int height, int mode) {
    Bitmap dest(width, height, format);
    Fill(dest, 0);
    EXPECT_TRUE(Blit(dest, source, mode));
    return dest;
}

uint32_t ConvertOne(const PixelFormat& dest, const PixelFormat& source, uint32_t value) {
    Bitmap in(1, 1, source);
    SetPixel(in, 0, 0, value);
    return PixelAt(Blitted(dest, in, 1, 1, zentac::kBlitCopy), 0, 0);
}

// Opaque ARGB whose blue is x and green y.
Bitmap Coordinates(int width, int height) {
    Bitmap bitmap(width, height, zentac::ArgbFormat());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) SetPixel(bitmap, x, y, 0xFF000000u | y << 8 | x);
    }
    return bitmap;
}

Bitmap Row(const PixelFormat& format, std::initializer_list<uint32_t> values) {
    Bitmap bitmap(static_cast<int>(values.size()), 1, format);
    int x = 0;
    for (uint32_t v : values) SetPixel(bitmap, x++, 0, v);
    return bitmap;
}

std::vector<uint32_t> Pixels(const Bitmap& bitmap) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) pixels.push_back(PixelAt(bitmap, x, y));
    }
    return pixels;
}

}  // namespace

TEST(Blitter, EmptyMasksMoveNothingAndKnownFormatsNeedTheirPalette) {
    EXPECT_EQ(zentac::MakeChannelShift(0, 0xFF).Apply(0xFFFFFFFF), 0u);
    EXPECT_EQ(zentac::MakeChannelShift(0xFF, 0).Apply(0xFFFFFFFF), 0u);
    zentac::ChannelShift none = zentac::MakeFilterShift(0);
    EXPECT_LT(none.right, 32u);
    EXPECT_EQ(none.mask, 0u);

    EXPECT_EQ(zentac::KnownFormatIndex(zentac::ArgbFormat()), zentac::kKnownArgb8888);
    EXPECT_EQ(zentac::KnownFormatIndex(PixelFormat::Indexed8()), zentac::kKnownIndexed8);
    PixelFormat paletteless = PixelFormat::Indexed8();
    paletteless.FreePalette();
    EXPECT_EQ(zentac::KnownFormatIndex(paletteless), -1);
    EXPECT_EQ(zentac::KnownFormatIndex(Unlisted(zentac::ArgbFormat())), -1);
}

TEST(BlitterRows, KnownPairsMatchTheChannelShiftPath) {
    for (int s = 1; s < zentac::kKnownFormatCount; ++s) {
        for (int d = 1; d < zentac::kKnownFormatCount; ++d) {
            if (s == d) continue;
            PixelFormat source = Known(s);
            PixelFormat dest = Known(d);
            ASSERT_EQ(zentac::GetBlitter(dest, source, zentac::kBlitConvert)->rowFunction,
                      zentac::KnownPairRow(s, d, false));
            ASSERT_NE(zentac::GetBlitter(Unlisted(dest), Unlisted(source), zentac::kBlitConvert)->rowFunction,
                      zentac::KnownPairRow(s, d, false));
            // Two source rows into one resize with an x step of exactly one pixel.
            for (int rows : {1, 2}) {
                Bitmap in = EveryValue(source, rows);
                Bitmap unlistedIn(in);
                unlistedIn.Format() = Unlisted(source);
                int mode = rows == 1 ? zentac::kBlitCopy : zentac::kBlitNearest;
                Bitmap known = Blitted(dest, in, in.Width(), 1, mode);
                Bitmap oracle = Blitted(Unlisted(dest), unlistedIn, in.Width(), 1, mode);
                for (int x = 0; x < in.Width(); ++x) {
                    uint32_t value = PixelAt(in, x, 0);
                    uint32_t got = PixelAt(known, x, 0);
                    uint32_t want = PixelAt(oracle, x, 0);
                    if (got != want) {
                        ADD_FAILURE() << "pair " << s << " -> " << d << " rows " << rows << " value " << std::hex
                                      << value << ": " << got << " != " << want;
                        break;
                    }
                }
            }
        }
    }
}

TEST(BlitterRows, KnownPairValues) {
    using namespace zentac;
    EXPECT_EQ(ConvertOne(Known(kKnownArgb8888), Known(kKnownRgb565), 0xFFFF), 0xFFF8FCF8u);
    EXPECT_EQ(ConvertOne(Known(kKnownRgb888), Known(kKnownRgb565), 0xFFFF), 0xF8FCF8u);
    EXPECT_EQ(ConvertOne(Known(kKnownArgb8888), Known(kKnownRgb332), 0xE0), 0xFFE00000u);
    EXPECT_EQ(ConvertOne(Known(kKnownArgb8888), Known(kKnownArgb4444), 0xFFFF), 0xFFF0F0F0u);
    EXPECT_EQ(ConvertOne(Known(kKnownArgb4444), Known(kKnownArgb1555), 0x8000), 0xF000u);
    EXPECT_EQ(ConvertOne(Known(kKnownArgb8888), Known(kKnownArgb1555), 0x7FFF), 0x00F8F8F8u);
    EXPECT_EQ(ConvertOne(Known(kKnownArgb4444), Known(kKnownArgb8888), 0x9F123456), 0x9135u);
    EXPECT_EQ(ConvertOne(Known(kKnownArgb1555), Known(kKnownArgb8888), 0x9F123456), 0x88CAu);

    const uint32_t grey = 0xAB;
    EXPECT_EQ(ConvertOne(Known(kKnownRgb332), Known(kKnownIntensity8), grey), 0xB6u);
    EXPECT_EQ(ConvertOne(Known(kKnownRgb565), Known(kKnownIntensity8), grey), 0xAD55u);
    EXPECT_EQ(ConvertOne(Known(kKnownArgb1555), Known(kKnownIntensity8), grey), 0xD6B5u);
    EXPECT_EQ(ConvertOne(Known(kKnownArgb4444), Known(kKnownIntensity8), grey), 0xFAAAu);
    EXPECT_EQ(ConvertOne(Known(kKnownRgb888), Known(kKnownIntensity8), grey), 0xABABABu);
    EXPECT_EQ(ConvertOne(Known(kKnownArgb8888), Known(kKnownIntensity8), grey), 0xFFABABABu);
    EXPECT_EQ(ConvertOne(Known(kKnownRgb565), Known(kKnownIntensity8), 0xFF), 0xFFFFu);
    EXPECT_EQ(ConvertOne(Known(kKnownArgb4444), Known(kKnownIntensity8), 0xFF), 0xFFFFu);

    // White weighs 254 in the luminance table.
    EXPECT_EQ(ConvertOne(Known(kKnownIntensity8), Known(kKnownRgb888), 0xFFFFFF), 254u);
    EXPECT_EQ(ConvertOne(Known(kKnownIntensity8), Known(kKnownArgb8888), 0xFFFFFFFF), 254u);
    EXPECT_EQ(ConvertOne(kGreyAlpha, Known(kKnownArgb8888), 0x80FFFFFF), 0x80FEu);
    EXPECT_EQ(ConvertOne(kGreyAlpha, Known(kKnownRgb888), 0xFFFFFF), 0xFFFEu);
    EXPECT_EQ(ConvertOne(kGreyAlpha, Known(kKnownIntensity8), 0xFF), 0xFFFEu);
}

TEST(BlitterRows, AlphaWidensByRepeatingItsBits) {
    using namespace zentac;
    // Colours keep shifting; alpha of any width comes out opaque when all
    // its bits are set, and in even steps below.
    const PixelFormat tenBits(32, 0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000, kPixelInteger);
    EXPECT_EQ(ConvertOne(ArgbFormat(), tenBits, 0xFFFFFFFF), 0xFFFFFFFFu);
    EXPECT_EQ(ConvertOne(ArgbFormat(), tenBits, 0x80000000), 0xAA000000u);
    EXPECT_EQ(ConvertOne(ArgbFormat(), tenBits, 0x40000000 | 0x3FF00000), 0x55FF0000u);
    EXPECT_EQ(ConvertOne(ArgbFormat(), tenBits, 0x00100401), 0x00000000u) << "low colour bits drop";
    const PixelFormat oneBit(16, 0xF800, 0x07C0, 0x003E, 0x0001, kPixelInteger);
    EXPECT_EQ(ConvertOne(ArgbFormat(), oneBit, 0x0001), 0xFF000000u);
    EXPECT_EQ(ConvertOne(Known(kKnownArgb4444), oneBit, 0xFFFF), 0xFFFFu);
    const PixelFormat threeBits(16, 0x1F00, 0x00F0, 0x000F, 0xE000, kPixelInteger);
    EXPECT_EQ(ConvertOne(ArgbFormat(), threeBits, 0xA000), 0xB6000000u) << "101 repeats as 101 101 10";
    EXPECT_EQ(ConvertOne(kGreyAlpha, threeBits, 0xE000), 0xFF00u) << "into a grey with alpha";
    // Narrowing keeps the top bits, as for colours.
    EXPECT_EQ(ConvertOne(Known(kKnownArgb4444), ArgbFormat(), 0x7F000000), 0x7000u);
}

TEST(Blitter, CopiesOverlapAndRefusesWhatItCannotWrite) {
    Bitmap source = Coordinates(4, 4);
    Bitmap same = Blitted(zentac::ArgbFormat(), source, 4, 4, zentac::kBlitBilinear);
    EXPECT_EQ(std::memcmp(same.Image(), source.Image(), 64), 0);

    Bitmap wider(6, 2, zentac::ArgbFormat());
    Fill(wider, 0x12345678);
    ASSERT_TRUE(Blit(wider, source, zentac::kBlitCopy));
    EXPECT_EQ(PixelAt(wider, 3, 1), 0xFF000103u);
    EXPECT_EQ(PixelAt(wider, 4, 1), 0x12345678u);

    Bitmap empty;
    EXPECT_FALSE(Blit(wider, empty, zentac::kBlitCopy));
    EXPECT_FALSE(Blit(empty, source, zentac::kBlitCopy));

    // Nothing converts into an indexed format or from pixels over 32 bits.
    Bitmap indexed(4, 4, PixelFormat::Indexed8());
    Fill(indexed, 7);
    EXPECT_FALSE(Blit(indexed, source, zentac::kBlitCopy));
    EXPECT_EQ(PixelAt(indexed, 2, 2), 7u);
    Bitmap wide(4, 4, PixelFormat(64, 0xFFFF, 0, 0, 0, zentac::kPixelInteger));
    EXPECT_FALSE(Blit(source, wide, zentac::kBlitCopy));
}

TEST(Blitter, ResizeGeometrySamplesTheRightPixels) {
    Bitmap source = Coordinates(4, 4);
    Bitmap shrunk = Blitted(zentac::ArgbFormat(), source, 2, 2, zentac::kBlitNearest);
    EXPECT_EQ(Pixels(shrunk), (std::vector<uint32_t>{0xFF000101, 0xFF000103, 0xFF000301, 0xFF000303}));

    Bitmap stretched = Blitted(zentac::ArgbFormat(), Coordinates(3, 1), 5, 1, zentac::kBlitNearest);
    EXPECT_EQ(Pixels(stretched), (std::vector<uint32_t>{0xFF000000, 0xFF000000, 0xFF000001, 0xFF000002, 0xFF000002}));

    // Filtering between two formats resizes by nearest neighbour.
    Bitmap rgb = Row(Known(zentac::kKnownRgb565), {0x0001, 0x0002, 0x0003, 0x0004});
    EXPECT_EQ(Pixels(Blitted(zentac::ArgbFormat(), rgb, 2, 1, zentac::kBlitBilinear)),
              (std::vector<uint32_t>{0xFF000010, 0xFF000020}));

    // Enlarging spans the source exactly: x = 0, 1/3, 2/3 and 1 of a pixel
    // (65535 at the end); shrinking samples at 0.5 and 2.5. The hand-written
    // 8-bit filter and the 16-bit channel filter agree here.
    for (const PixelFormat& format : {zentac::ArgbFormat(), Unlisted(zentac::ArgbFormat())}) {
        Bitmap pair = Row(format, {0xFF000000, 0xFF0000FF});
        EXPECT_EQ(Pixels(Blitted(format, pair, 4, 1, zentac::kBlitBilinear)),
                  (std::vector<uint32_t>{0xFF000000, 0xFF000054, 0xFF0000A9, 0xFF0000FE}));
        Bitmap four = Row(format, {0xFF000000, 0xFF000064, 0xFF0000C8, 0xFF0000FA});
        EXPECT_EQ(Pixels(Blitted(format, four, 2, 1, zentac::kBlitBilinear)),
                  (std::vector<uint32_t>{0xFF000032, 0xFF0000E1}));
        // Columns sample the rows below the same way, the last row included.
        Bitmap pairColumn(1, 2, format);
        SetPixel(pairColumn, 0, 0, 0xFF000000);
        SetPixel(pairColumn, 0, 1, 0xFF0000FF);
        EXPECT_EQ(Pixels(Blitted(format, pairColumn, 1, 4, zentac::kBlitBilinear)),
                  (std::vector<uint32_t>{0xFF000000, 0xFF000054, 0xFF0000A9, 0xFF0000FE}));
        Bitmap fourColumn(1, 4, format);
        for (int y = 0; y < 4; ++y) SetPixel(fourColumn, 0, y, PixelAt(four, y, 0));
        EXPECT_EQ(Pixels(Blitted(format, fourColumn, 1, 2, zentac::kBlitBilinear)),
                  (std::vector<uint32_t>{0xFF000032, 0xFF0000E1}));
    }

    // Positions past 32767 pixels need more than 32 bits in 16.16.
    Bitmap line(40000, 1, zentac::ArgbFormat());
    for (int x = 0; x < line.Width(); ++x) SetPixel(line, x, 0, static_cast<uint32_t>(x));
    EXPECT_EQ(Pixels(Blitted(zentac::ArgbFormat(), line, 4, 1, zentac::kBlitNearest)),
              (std::vector<uint32_t>{5000, 15000, 25000, 35000}));
    Fill(line, 0xFF000000);
    SetPixel(line, 39999, 0, 0xFFFFFFFF);
    Bitmap longer = Blitted(zentac::ArgbFormat(), line, 40002, 1, zentac::kBlitBilinear);
    EXPECT_EQ(PixelAt(longer, 0, 0), 0xFF000000u);
    // The step is 39999 * 65536 / 40001 = 65532, so the last pixel lies at
    // column 39998 plus 142/256 of the way to the white one.
    EXPECT_EQ(PixelAt(longer, 40001, 0), 0xFF8D8D8Du);
}

TEST(BlitterRows, FilterWeightsKeepWhiteWhite) {
    const PixelFormat noGreen(16, 0xF800, 0, 0x001F, 0, zentac::kPixelInteger);
    const std::vector<PixelFormat> formats = {
        Known(zentac::kKnownIntensity8), Known(zentac::kKnownRgb332), Known(zentac::kKnownRgb565),
        Known(zentac::kKnownRgb888),     Known(zentac::kKnownArgb1555), Known(zentac::kKnownArgb4444),
        Known(zentac::kKnownArgb8888),   Unlisted(Known(zentac::kKnownArgb8888)),
        Unlisted(Known(zentac::kKnownIntensity8)), kGreyAlpha, noGreen};
    for (const PixelFormat& format : formats) {
        uint32_t white = format.redMask | format.greenMask | format.blueMask | format.alphaMask;
        for (int size : {3, 9}) {
            Bitmap source(size, size, format);
            Fill(source, white);
            for (uint32_t pixel : Pixels(Blitted(format, source, 5, 7, zentac::kBlitBilinear))) {
                ASSERT_EQ(pixel, white) << std::hex << format.word << " " << format.redMask << " from " << size;
            }
        }
    }

    // The hand-written filters weigh with 8, 5 and 4 fraction bits: from
    // black to white at x = 0, 1/3, 2/3 and 65535/65536.
    struct Ramp {
        int known;
        uint32_t white;
        std::vector<uint32_t> want;
    };
    const Ramp ramps[] = {
        {zentac::kKnownIntensity8, 0xFF, {0, 0x54, 0xA9, 0xFE}},
        {zentac::kKnownRgb888, 0xFFFFFF, {0, 0x545454, 0xA9A9A9, 0xFEFEFE}},
        {zentac::kKnownRgb565, 0xFFFF, {0, 0x4A69, 0xA534, 0xF7BE}},
        {zentac::kKnownArgb1555, 0x7FFF, {0, 0x2529, 0x5294, 0x7BDE}},
        {zentac::kKnownArgb4444, 0xFFFF, {0, 0x4444, 0x9999, 0xEEEE}},
    };
    for (const Ramp& ramp : ramps) {
        Bitmap blackToWhite = Row(Known(ramp.known), {0, ramp.white});
        EXPECT_EQ(Pixels(Blitted(Known(ramp.known), blackToWhite, 4, 1, zentac::kBlitBilinear)), ramp.want)
            << "known format " << ramp.known;
    }

    // ARGB1555 takes alpha from the top-left pixel only.
    Bitmap halfOpaque = Row(Known(zentac::kKnownArgb1555), {0x7FFF, 0xFFFF});
    EXPECT_EQ(Pixels(Blitted(Known(zentac::kKnownArgb1555), halfOpaque, 3, 1, zentac::kBlitBilinear)),
              (std::vector<uint32_t>{0x7FFF, 0x7FFF, 0xFFFF}));
}

TEST(BlitterCache, ServesMoreThan64FormatPairs) {
    std::vector<PixelFormat> formats = {kGreyAlpha};
    for (int k = 1; k < zentac::kKnownFormatCount; ++k) {
        formats.push_back(Known(k));
        formats.push_back(Unlisted(Known(k)));
    }
    std::vector<Bitmap> sources;
    for (const PixelFormat& format : formats) {
        Bitmap source(3, 2, format);
        for (int i = 0; i < 6; ++i) SetPixel(source, i % 3, i / 3, 0x9E3779B9u * (i + 1));
        sources.push_back(source);
    }
    struct Case {
        size_t dest;
        size_t source;
        int width;
    };
    std::vector<Case> cases;
    for (size_t d = 0; d < formats.size(); ++d) {
        for (size_t s = 0; s < formats.size(); ++s) {
            if (d == s) continue;
            cases.push_back({d, s, 3});
            cases.push_back({d, s, 5});
        }
    }
    ASSERT_GT(cases.size(), 64u);
    std::vector<std::vector<uint32_t>> first;
    for (const Case& c : cases) {
        first.push_back(Pixels(Blitted(formats[c.dest], sources[c.source], c.width, 2, zentac::kBlitNearest)));
        uint32_t operation = zentac::kBlitConvert | (c.width == 3 ? 0 : zentac::kBlitResize);
        ASSERT_TRUE(zentac::GetBlitter(formats[c.dest], formats[c.source], operation)
                        ->Matches(formats[c.dest], formats[c.source], operation));
    }
    for (size_t i = cases.size(); i-- > 0;) {
        const Case& c = cases[i];
        ASSERT_EQ(Pixels(Blitted(formats[c.dest], sources[c.source], c.width, 2, zentac::kBlitNearest)), first[i])
            << c.dest << " <- " << c.source << " width " << c.width;
    }
}

TEST(BlitterIndexed, SourcesConvertThroughTheirOwnPalette) {
    Bitmap blues(4, 1, PixelFormat::Indexed8());
    Bitmap reds(4, 1, PixelFormat::Indexed8());
    for (uint32_t i = 0; i < 256; ++i) {
        blues.Format().Palette()[i] = 0xFF000000 | i;
        reds.Format().Palette()[i] = 0x80000000 | i << 16;
    }
    for (Bitmap* b : {&blues, &reds}) {
        int x = 0;
        for (uint32_t index : {0u, 1u, 200u, 255u}) SetPixel(*b, x++, 0, index);
    }
    const PixelFormat argb = zentac::ArgbFormat();
    const PixelFormat rgb565 = Known(zentac::kKnownRgb565);
    zentac::Blitter* cached = zentac::GetBlitter(argb, blues.Format(), zentac::kBlitConvert);
    // The source has no alpha channel, so the palette's alpha gives way to opaque.
    EXPECT_EQ(Pixels(Blitted(argb, blues, 4, 1, zentac::kBlitCopy)),
              (std::vector<uint32_t>{0xFF000000, 0xFF000001, 0xFF0000C8, 0xFF0000FF}));
    EXPECT_EQ(Pixels(Blitted(argb, reds, 4, 1, zentac::kBlitCopy)),
              (std::vector<uint32_t>{0xFF000000, 0xFF010000, 0xFFC80000, 0xFFFF0000}));
    EXPECT_EQ(zentac::GetBlitter(argb, reds.Format(), zentac::kBlitConvert), cached);
    EXPECT_EQ(Pixels(Blitted(rgb565, blues, 2, 1, zentac::kBlitNearest)), (std::vector<uint32_t>{0x0000, 0x001F}));
    EXPECT_EQ(Pixels(Blitted(rgb565, reds, 2, 1, zentac::kBlitBilinear)), (std::vector<uint32_t>{0x0000, 0xF800}));
    // Indices are never blended.
    EXPECT_EQ(Pixels(Blitted(blues.Format(), blues, 2, 1, zentac::kBlitBilinear)), (std::vector<uint32_t>{1, 255}));

    // Wider indices with alpha go through the channel-shift lookup; their
    // index is the top 8 bits of the index channel.
    PixelFormat indexedAlpha;
    indexedAlpha.word = zentac::kPixelInteger | zentac::kPixelIndexed | 16;
    indexedAlpha.blueMask = 0x00FF;
    indexedAlpha.alphaMask = 0xFF00;
    indexedAlpha.DeriveChannels();
    Bitmap withAlpha = Row(indexedAlpha, {0x8003, 0x0001});
    EXPECT_EQ(Pixels(Blitted(argb, withAlpha, 2, 1, zentac::kBlitCopy)), (std::vector<uint32_t>{0x80000000, 0}));
    withAlpha.Format().CreatePalette()[3] = 0x00123456;
    EXPECT_EQ(Pixels(Blitted(argb, withAlpha, 2, 1, zentac::kBlitCopy)),
              (std::vector<uint32_t>{0x80123456, 0x00000000}));

    // Index to index moves the index channel, stepping through the source when resizing.
    PixelFormat wideIndex = PixelFormat::Indexed8();
    wideIndex.word = zentac::kPixelInteger | zentac::kPixelIndexed | 16;
    wideIndex.blueMask = 0xFFFF;
    EXPECT_EQ(Pixels(Blitted(wideIndex, blues, 4, 1, zentac::kBlitCopy)),
              (std::vector<uint32_t>{0, 0x100, 0xC800, 0xFF00}));
    EXPECT_EQ(Pixels(Blitted(wideIndex, blues, 2, 1, zentac::kBlitNearest)), (std::vector<uint32_t>{0x100, 0xFF00}));
}

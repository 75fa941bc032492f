#include "engine/image/bitmap_codec_ilbm.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "codec_damage.h"
#include "codec_picture.h"
#include "codec_test_helpers.h"
#include "engine/image/codec_formats.h"
#include "pixel_helpers.h"

using codec_picture::Colour;
using codec_picture::ExpectPicture;
using codec_picture::Index;
using codec_picture::kHeight;
using codec_picture::kWidth;
using codec_picture::PutBe;
using codec_test::Decodes;
using codec_test::Load;
using pixel_test::PixelAt;
using zentac::Bitmap;

namespace {

using Bytes = std::vector<uint8_t>;
using PixelValue = std::function<uint32_t(int x, int y)>;

Bytes Chunk(const char* id, const Bytes& data) {
    Bytes chunk(id, id + 4);
    PutBe(chunk, static_cast<uint32_t>(data.size()), 4);
    chunk.insert(chunk.end(), data.begin(), data.end());
    if (data.size() % 2) chunk.push_back(0);
    return chunk;
}

Bytes Form(const char* type, const std::vector<Bytes>& chunks) {
    Bytes body(type, type + 4);
    for (const Bytes& chunk : chunks) body.insert(body.end(), chunk.begin(), chunk.end());
    Bytes form = {'F', 'O', 'R', 'M'};
    PutBe(form, static_cast<uint32_t>(body.size()), 4);
    form.insert(form.end(), body.begin(), body.end());
    return form;
}

Bytes Bmhd(int width, int height, int planes, int masking = 0, int compression = 0) {
    Bytes header;
    PutBe(header, static_cast<uint32_t>(width), 2);
    PutBe(header, static_cast<uint32_t>(height), 2);
    PutBe(header, 0, 4);
    header.insert(header.end(), {static_cast<uint8_t>(planes), static_cast<uint8_t>(masking),
                                 static_cast<uint8_t>(compression), 0});
    PutBe(header, 0, 2);
    header.insert(header.end(), {10, 11});
    PutBe(header, static_cast<uint32_t>(width), 2);
    PutBe(header, static_cast<uint32_t>(height), 2);
    return Chunk("BMHD", header);
}

Bytes Cmap(const std::vector<uint32_t>& colours) {
    Bytes map;
    for (uint32_t c : colours) map.insert(map.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
    return Chunk("CMAP", map);
}

Bytes Camg(uint32_t mode) {
    Bytes data;
    PutBe(data, mode, 4);
    return Chunk("CAMG", data);
}

// Rows of plane rows: bit p of a pixel's value in plane p, the leftmost
// pixel in bit 7; a mask plane of ones follows when asked for.
Bytes Planar(int width, int height, int planes, const PixelValue& value, bool mask = false) {
    size_t planeRow = static_cast<size_t>((width + 15) / 16 * 2);
    Bytes body;
    for (int y = 0; y < height; ++y) {
        for (int p = 0; p < planes + mask; ++p) {
            Bytes row(planeRow, 0);
            for (int x = 0; x < width; ++x) {
                if (p == planes || (value(x, y) >> p & 1)) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
            }
            body.insert(body.end(), row.begin(), row.end());
        }
    }
    return body;
}

// ByteRun1: repeats of three or more as runs, the rest as literals.
Bytes ByteRun1(const Bytes& bytes) {
    Bytes packed;
    for (size_t at = 0; at < bytes.size();) {
        size_t run = 1;
        while (at + run < bytes.size() && run < 128 && bytes[at + run] == bytes[at]) ++run;
        if (run >= 3) {
            packed.insert(packed.end(), {static_cast<uint8_t>(1 - static_cast<int>(run)), bytes[at]});
            at += run;
            continue;
        }
        size_t literal = std::min<size_t>(bytes.size() - at, 128);
        for (size_t i = 2; i < literal; ++i) {
            if (bytes[at + i] == bytes[at + i - 1] && bytes[at + i] == bytes[at + i - 2]) {
                literal = i - 2;
                break;
            }
        }
        literal = std::max<size_t>(literal, 1);
        packed.push_back(static_cast<uint8_t>(literal - 1));
        packed.insert(packed.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at),
                      bytes.begin() + static_cast<std::ptrdiff_t>(at + literal));
        at += literal;
    }
    return packed;
}

std::vector<uint32_t> PictureColours() {
    std::vector<uint32_t> colours;
    for (int i = 0; i < 16; ++i) colours.push_back(i < kWidth * kHeight ? Colour(i % kWidth, i / kWidth) : 0);
    return colours;
}

uint32_t PictureIndex(int x, int y) { return Index(x, y); }

Bytes IndexedIlbm(bool compressed, bool mask = false) {
    Bytes body = Planar(kWidth, kHeight, 4, PictureIndex, mask);
    return Form("ILBM", {Bmhd(kWidth, kHeight, 4, mask ? 1 : 0, compressed), Chunk("ANNO", {'h', 'i', '!'}),
                         Cmap(PictureColours()), Chunk("BODY", compressed ? ByteRun1(body) : body)});
}

Bytes ChunkyPbm(bool compressed) {
    Bytes body;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x <= kWidth; ++x) body.push_back(x < kWidth ? static_cast<uint8_t>(Index(x, y)) : 0xEE);
    }
    return Form("PBM ", {Bmhd(kWidth, kHeight, 8, 0, compressed), Cmap(PictureColours()),
                         Chunk("BODY", compressed ? ByteRun1(body) : body)});
}

// HAM values: the control in the top two planes, the data below them.
uint32_t Ham(int planes, uint32_t control, uint32_t data) { return control << (planes - 2) | data; }

}  // namespace

TEST(IlbmCodec, DecodesPlanarAndChunkyPictures) {
    Bitmap plain = Load(IndexedIlbm(false), "picture.LBM");
    EXPECT_EQ(plain.Format().word, 0x84000008u);
    ExpectPicture(plain, "4 planes");
    ExpectPicture(Load(IndexedIlbm(true), "packed.iff"), "4 planes, ByteRun1");
    ExpectPicture(Load(IndexedIlbm(true, true), "masked.ilbm"), "4 planes and a mask plane");
    ExpectPicture(Load(ChunkyPbm(false), "chunky.lbm"), "PBM with rows padded to even length");
    ExpectPicture(Load(ChunkyPbm(true), "chunky.iff"), "PBM, ByteRun1");

    auto deep = [](int x, int y) { return uint32_t(x + 1) | uint32_t(y + 1) << 8 | uint32_t(x * y) << 16 | 0x80u << 24; };
    Bitmap rgb = Load(Form("ILBM", {Bmhd(kWidth, kHeight, 24), Chunk("BODY", Planar(kWidth, kHeight, 24, deep))}),
                      "24.iff");
    EXPECT_EQ(rgb.Format().word, 0x90000018u);
    EXPECT_EQ(PixelAt(rgb, 0, 0), 0x010100u) << "plane 0 is the lowest red bit";
    EXPECT_EQ(PixelAt(rgb, 4, 2), 0x050308u);
    Bitmap argb = Load(Form("ILBM", {Bmhd(kWidth, kHeight, 32), Chunk("BODY", Planar(kWidth, kHeight, 32, deep))}),
                       "32.iff");
    EXPECT_EQ(argb.Format().word, 0x90000020u);
    EXPECT_EQ(PixelAt(argb, 4, 2), 0x80050308u);
    Bitmap high = Load(Form("ILBM", {Bmhd(kWidth, kHeight, 16), Chunk("BODY", Planar(kWidth, kHeight, 16, deep))}),
                       "16.iff");
    EXPECT_TRUE(high.Format().SameLayout(zentac::Rgb565Format()));
    EXPECT_EQ(PixelAt(high, 4, 2), 0x0503u) << "the high byte first";

    // A run of -128 repeats 129 times.
    Bytes wide = Form("PBM ", {Bmhd(129, 1, 8, 0, 1), Chunk("BODY", {0x80, 7, 0, 9})});
    Bitmap run = Load(wide, "wide.lbm");
    EXPECT_EQ(PixelAt(run, 128, 0), 7u);
}

TEST(IlbmCodec, ExtraHalfBriteAndHoldAndModify) {
    std::vector<uint32_t> colours(32, 0x204060);
    colours[0] = 0xFF80FE;
    auto index33 = [](int, int) { return 33u; };
    Bytes ehb = Form("ILBM", {Bmhd(2, 1, 6), Cmap(colours), Camg(0x80), Chunk("BODY", Planar(2, 1, 6, index33))});
    Bitmap halfBrite = Load(ehb, "picture.ehb");
    EXPECT_EQ(halfBrite.Format().Palette()[32], 0xFF7F407Fu) << "entry 0 at half intensity";
    EXPECT_EQ(halfBrite.Format().Palette()[33], 0xFF102030u);

    // One row: a map colour, then blue, red and green changed in turn, then
    // a data value past the map (black); the next row starts from black.
    auto ham6 = [](int x, int y) {
        const uint32_t row0[5] = {Ham(6, 0, 1), Ham(6, 1, 15), Ham(6, 2, 8), Ham(6, 3, 4), Ham(6, 0, 5)};
        const uint32_t row1[5] = {Ham(6, 1, 1), Ham(6, 3, 2), Ham(6, 1, 0), Ham(6, 2, 1), Ham(6, 0, 0)};
        return y == 0 ? row0[x] : row1[x];
    };
    Bytes hamFile = Form("ILBM", {Bmhd(kWidth, 2, 6), Cmap({0x123456, 0xABCDEF}), Camg(0x800),
                                  Chunk("BODY", Planar(kWidth, 2, 6, ham6))});
    Bitmap ham = Load(hamFile, "picture.ham");
    EXPECT_EQ(ham.Format().word, 0x90000018u);
    const uint32_t expected[2][5] = {{0xABCDEF, 0xABCDF0, 0x80CDF0, 0x8040F0, 0x000000},
                                     {0x000010, 0x002010, 0x002000, 0x102000, 0x123456}};
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < kWidth; ++x) EXPECT_EQ(PixelAt(ham, x, y), expected[y][x]) << "HAM6 " << x << ", " << y;
    }

    auto ham8 = [](int x, int) { return x == 0 ? Ham(8, 2, 63) : Ham(8, 3, 1); };
    Bytes ham8File = Form("ILBM", {Bmhd(2, 1, 8), Camg(0x800), Chunk("BODY", Planar(2, 1, 8, ham8))});
    EXPECT_EQ(PixelAt(Load(ham8File, "picture.ham8"), 1, 0), 0xFC0400u);
}

TEST(IlbmCodec, RejectsWhatItDoesNotRead) {
    Bytes body = Planar(kWidth, kHeight, 4, PictureIndex);
    auto ilbm = [&body](Bytes header, std::vector<Bytes> more = {}) {
        std::vector<Bytes> chunks = {header};
        chunks.insert(chunks.end(), more.begin(), more.end());
        chunks.push_back(Chunk("BODY", body));
        return Form("ILBM", chunks);
    };
    EXPECT_TRUE(Decodes(ilbm(Bmhd(kWidth, kHeight, 4)), "ok.iff"));
    Bytes anim = ilbm(Bmhd(kWidth, kHeight, 4));
    std::copy_n("ANIM", 4, anim.begin() + 8);
    EXPECT_FALSE(Decodes(anim, "anim.iff")) << "another form type";
    EXPECT_FALSE(Decodes(Form("ILBM", {Bmhd(kWidth, kHeight, 4)}), "nobody.iff"));
    EXPECT_FALSE(Decodes(Form("ILBM", {Chunk("BODY", body)}), "noheader.iff"));
    EXPECT_FALSE(Decodes(ilbm(Bmhd(kWidth, kHeight, 4, 0, 2)), "vertical.iff")) << "only ByteRun1";
    EXPECT_FALSE(Decodes(ilbm(Bmhd(kWidth, kHeight, 0)), "none.iff"));
    EXPECT_FALSE(Decodes(ilbm(Bmhd(kWidth, kHeight, 33)), "many.iff"));
    EXPECT_FALSE(Decodes(ilbm(Bmhd(kWidth, kHeight, 5), {Camg(0x800)}), "ham5.iff"));
    EXPECT_FALSE(Decodes(ilbm(Bmhd(kWidth, kHeight + 1, 4)), "short.iff")) << "a body too short";
    Bytes chunky = ilbm(Bmhd(kWidth, kHeight, 4));
    std::copy_n("PBM ", 4, chunky.begin() + 8);
    EXPECT_FALSE(Decodes(chunky, "chunky4.lbm")) << "chunky pixels are bytes";
}

TEST(IlbmCodec, DamagedFilesFailCleanly) {
    // The last chunk's pad byte may be missing.
    codec_damage::ExpectDamageHandled(IndexedIlbm(true), 48, "packed.iff", 1);
    codec_damage::ExpectDamageHandled(ChunkyPbm(false), 48, "chunky.lbm");
    auto ham = [](int x, int y) { return Ham(6, static_cast<uint32_t>(x + y) % 4, static_cast<uint32_t>(x * 3)); };
    Bytes hamBody = Planar(kWidth, kHeight, 6, ham);
    codec_damage::ExpectDamageHandled(Form("ILBM", {Bmhd(kWidth, kHeight, 6, 0, 1), Cmap(PictureColours()), Camg(0x800),
                                                    Chunk("BODY", ByteRun1(hamBody))}),
                                      48, "ham.iff", 1);
}

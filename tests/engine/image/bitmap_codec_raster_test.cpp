// PCX, SGI and Sun raster: the decode-only codecs of plain raster formats.
#include <gtest/gtest.h>

#include <vector>

#include "codec_damage.h"
#include "codec_picture.h"
#include "codec_test_helpers.h"
#include "engine/image/codec_formats.h"
#include "pixel_helpers.h"
#include "tests/image_magick.h"
#include "tests/temp_folder.h"

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

void Append(std::vector<uint8_t>& bytes, const std::vector<uint8_t>& more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
}

uint8_t Channel(uint32_t colour, int shift) { return static_cast<uint8_t>(colour >> shift); }

// Red, green or blue of the picture's pixel, by the shift of its byte.
std::vector<uint8_t> ChannelRow(int y, int shift) {
    std::vector<uint8_t> row;
    for (int x = 0; x < kWidth; ++x) row.push_back(Channel(Colour(x, y), shift));
    return row;
}

// PCX run-length coding: runs of two or more, and bytes that look like run
// markers, become a marker and a value.
std::vector<uint8_t> PcxRuns(const std::vector<uint8_t>& line) {
    std::vector<uint8_t> packed;
    for (size_t at = 0; at < line.size();) {
        size_t run = 1;
        while (at + run < line.size() && run < 63 && line[at + run] == line[at]) ++run;
        if (run > 1 || line[at] >= 0xC0) packed.push_back(static_cast<uint8_t>(0xC0 | run));
        packed.push_back(line[at]);
        at += run;
    }
    return packed;
}

struct PcxFile {
    uint8_t manufacturer = 10;
    uint8_t bits = 8;
    uint8_t planes = 1;
    uint16_t lineBytes = 6;
    std::vector<uint8_t> data;

    std::vector<uint8_t> Bytes() const {
        std::vector<uint8_t> bytes(128, 0);
        bytes[0] = manufacturer;
        bytes[1] = 5;
        bytes[2] = 1;
        bytes[3] = bits;
        bytes[8] = kWidth - 1;
        bytes[10] = kHeight - 1;
        bytes[65] = planes;
        bytes[66] = static_cast<uint8_t>(lineBytes);
        bytes[67] = static_cast<uint8_t>(lineBytes >> 8);
        Append(bytes, data);
        return bytes;
    }
};

// The picture as a one-plane PCX with its palette: indices in lines of
// six bytes, the sixth one 0xFF.
PcxFile IndexedPcx() {
    PcxFile file;
    for (int y = 0; y < kHeight; ++y) {
        std::vector<uint8_t> line;
        for (int x = 0; x < kWidth; ++x) line.push_back(static_cast<uint8_t>(Index(x, y)));
        line.push_back(0xFF);
        Append(file.data, PcxRuns(line));
    }
    file.data.push_back(12);
    for (int i = 0; i < 256; ++i) {
        uint32_t c = i < kWidth * kHeight ? Colour(i % kWidth, i / kWidth) : 0;
        file.data.insert(file.data.end(), {Channel(c, 16), Channel(c, 8), Channel(c, 0)});
    }
    return file;
}

PcxFile RgbPcx() {
    PcxFile file;
    file.planes = 3;
    file.lineBytes = kWidth;
    for (int y = 0; y < kHeight; ++y) {
        for (int shift : {16, 8, 0}) Append(file.data, PcxRuns(ChannelRow(y, shift)));
    }
    return file;
}

struct SgiFile {
    uint16_t magic = 474;
    uint8_t runLength = 0;
    uint8_t bytesPerChannel = 1;
    uint16_t dimension = 3;
    uint16_t width = kWidth;
    uint16_t height = kHeight;
    uint16_t channels = 3;
    uint32_t colourMap = 0;
    std::vector<uint8_t> data;

    std::vector<uint8_t> Bytes() const {
        std::vector<uint8_t> bytes;
        PutBe(bytes, magic, 2);
        bytes.insert(bytes.end(), {runLength, bytesPerChannel});
        for (uint16_t field : {dimension, width, height, channels}) PutBe(bytes, field, 2);
        PutBe(bytes, 0, 4);
        PutBe(bytes, 255, 4);
        bytes.resize(104);
        PutBe(bytes, colourMap, 4);
        bytes.resize(512);
        Append(bytes, data);
        return bytes;
    }
};

// The channel rows of the picture, bottom row first: red, green, blue and
// an alpha that grows across.
std::vector<std::vector<uint8_t>> SgiRows(int channels) {
    std::vector<std::vector<uint8_t>> rows;
    for (int c = 0; c < channels; ++c) {
        for (int y = kHeight - 1; y >= 0; --y) {
            if (c == 3) {
                rows.push_back({0, 50, 100, 150, 200});
            } else {
                rows.push_back(ChannelRow(y, 16 - 8 * c));
            }
        }
    }
    return rows;
}

// Each row as one literal packet and a terminator, behind the tables of
// starts and lengths.
SgiFile RunLengthSgi(int channels) {
    SgiFile file;
    file.runLength = 1;
    file.channels = static_cast<uint16_t>(channels);
    std::vector<std::vector<uint8_t>> rows = SgiRows(channels);
    uint32_t start = 512 + 8 * static_cast<uint32_t>(rows.size());
    std::vector<uint8_t> starts;
    std::vector<uint8_t> lengths;
    for (const std::vector<uint8_t>& row : rows) {
        std::vector<uint8_t> packed = {static_cast<uint8_t>(0x80 | row.size())};
        Append(packed, row);
        packed.push_back(0);
        PutBe(starts, start, 4);
        PutBe(lengths, static_cast<uint32_t>(packed.size()), 4);
        Append(file.data, packed);
        start += static_cast<uint32_t>(packed.size());
    }
    starts.insert(starts.end(), lengths.begin(), lengths.end());
    file.data.insert(file.data.begin(), starts.begin(), starts.end());
    return file;
}

SgiFile VerbatimSgi() {
    SgiFile file;
    for (const std::vector<uint8_t>& row : SgiRows(3)) Append(file.data, row);
    return file;
}

struct SunFile {
    uint32_t magic = 0x59A66A95;
    uint32_t depth = 24;
    uint32_t type = 1;
    uint32_t mapType = 0;
    std::vector<uint8_t> map;
    std::vector<uint8_t> data;

    std::vector<uint8_t> Bytes() const {
        std::vector<uint8_t> bytes;
        for (uint32_t word : {magic, uint32_t{kWidth}, uint32_t{kHeight}, depth, static_cast<uint32_t>(data.size()),
                              type, mapType, static_cast<uint32_t>(map.size())}) {
            PutBe(bytes, word, 4);
        }
        Append(bytes, map);
        Append(bytes, data);
        return bytes;
    }
};

// Rows of the picture in the given byte order of 0xAARRGGBB shifts, each
// padded to 16 bits.
std::vector<uint8_t> SunRows(std::vector<int> shifts) {
    std::vector<uint8_t> data;
    for (int y = 0; y < kHeight; ++y) {
        size_t start = data.size();
        for (int x = 0; x < kWidth; ++x) {
            uint32_t pixel = Colour(x, y) | uint32_t(x * 40) << 24;
            for (int shift : shifts) data.push_back(Channel(pixel, shift));
        }
        if ((data.size() - start) % 2) data.push_back(0);
    }
    return data;
}

SunFile MappedSun() {
    SunFile file;
    file.depth = 8;
    file.mapType = 1;
    for (int shift : {16, 8, 0}) {
        for (int i = 0; i < kWidth * kHeight; ++i) file.map.push_back(Channel(Colour(i % kWidth, i / kWidth), shift));
    }
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x <= kWidth; ++x) file.data.push_back(x < kWidth ? static_cast<uint8_t>(Index(x, y)) : 0);
    }
    return file;
}

}  // namespace

TEST(PcxCodec, DecodesIndexedAndRgbFiles) {
    Bitmap indexed = Load(IndexedPcx().Bytes(), "picture.PCX");
    EXPECT_EQ(indexed.Format().word, 0x84000008u);
    ExpectPicture(indexed, "one plane, lines of 6 bytes of which 5 are kept");
    Bitmap rgb = Load(RgbPcx().Bytes(), "rgb.pcx");
    EXPECT_EQ(rgb.Format().word, 0x90000018u);
    ExpectPicture(rgb, "three planes");

    // A run may go on into the next line.
    PcxFile across;
    across.data = {0xC0 | 8, 3, 0xC0 | 10, 4};
    across.data.push_back(12);
    across.data.resize(across.data.size() + 768, 0);
    Bitmap runs = Load(across.Bytes(), "across.pcx");
    EXPECT_EQ(PixelAt(runs, 1, 1), 3u);
    EXPECT_EQ(PixelAt(runs, 2, 1), 4u);
    EXPECT_EQ(PixelAt(runs, 4, 2), 4u);

    PcxFile other = IndexedPcx();
    other.manufacturer = 11;
    EXPECT_FALSE(Decodes(other.Bytes(), "maker.pcx"));
    other = IndexedPcx();
    other.planes = 2;
    EXPECT_FALSE(Decodes(other.Bytes(), "planes.pcx"));
    other = IndexedPcx();
    other.bits = 1;
    EXPECT_FALSE(Decodes(other.Bytes(), "mono.pcx")) << "only 8 bits per plane";
    other = IndexedPcx();
    other.lineBytes = kWidth - 1;
    EXPECT_FALSE(Decodes(other.Bytes(), "short.pcx")) << "lines shorter than the width";
}

TEST(SgiCodec, DecodesEveryDimension) {
    Bitmap verbatim = Load(VerbatimSgi().Bytes(), "picture.rgb");
    EXPECT_EQ(verbatim.Format().word, 0x90000018u);
    ExpectPicture(verbatim, "verbatim RGB");
    ExpectPicture(Load(RunLengthSgi(3).Bytes(), "rle.sgi"), "run-length RGB");
    Bitmap rgba = Load(RunLengthSgi(4).Bytes(), "rgba.rgba");
    EXPECT_EQ(rgba.Format().word, 0x90000020u);
    EXPECT_EQ(PixelAt(rgba, 3, 1), 150u << 24 | Colour(3, 1));

    SgiFile grey;
    grey.dimension = 2;
    grey.channels = 7;
    grey.data = {1, 2, 3, 4, 5, 11, 12, 13, 14, 15, 21, 22, 23, 24, 25};
    Bitmap intensity = Load(grey.Bytes(), "grey.bw");
    EXPECT_EQ(intensity.Format().word, 0x88000008u);
    EXPECT_EQ(PixelAt(intensity, 1, 2), 2u) << "the first row is the bottom one";
    EXPECT_EQ(PixelAt(intensity, 4, 0), 25u);
    grey.dimension = 1;
    Bitmap line = Load(grey.Bytes(), "line.bw");
    EXPECT_EQ(line.Height(), 1);
    EXPECT_EQ(PixelAt(line, 4, 0), 5u);

    // Runs are cut at the row end; a row may stop short; rows may share data.
    SgiFile runs;
    runs.runLength = 1;
    runs.dimension = 2;
    PutBe(runs.data, 512 + 24, 4);
    PutBe(runs.data, 512 + 24, 4);
    PutBe(runs.data, 512 + 24 + 4, 4);
    runs.data.resize(24);
    runs.data.insert(runs.data.end(), {3, 7, 0x7F, 9, 2, 5, 0});
    Bitmap cut = Load(runs.Bytes(), "runs.sgi");
    for (int x = 0; x < kWidth; ++x) {
        EXPECT_EQ(PixelAt(cut, x, 2), x < 3 ? 7u : 9u);
        EXPECT_EQ(PixelAt(cut, x, 1), x < 3 ? 7u : 9u);
        EXPECT_EQ(PixelAt(cut, x, 0), x < 2 ? 5u : 0u);
    }

    SgiFile twoChannels = VerbatimSgi();
    twoChannels.channels = 2;
    EXPECT_FALSE(Decodes(twoChannels.Bytes(), "two.sgi"));
    SgiFile wide = VerbatimSgi();
    wide.bytesPerChannel = 2;
    EXPECT_FALSE(Decodes(wide.Bytes(), "16.sgi"));
    SgiFile mapped = VerbatimSgi();
    mapped.colourMap = 1;
    EXPECT_FALSE(Decodes(mapped.Bytes(), "map.sgi"));
}

TEST(SgiCodec, SharedRowsAskForNoMoreThanTheFileHolds) {
    // Every row points at one end-of-row byte: 64 rows of 16384 pixels
    // need 1024 bytes behind the header (half a megapixel, and 512 pixels a
    // byte); one byte less is refused.
    SgiFile shared;
    shared.runLength = 1;
    shared.dimension = 2;
    shared.width = 16384;
    shared.height = 64;
    for (int row = 0; row < shared.height; ++row) PutBe(shared.data, 512 + 4 * 64, 4);
    shared.data.resize(1024);
    Bitmap blank = Load(shared.Bytes(), "shared.sgi");
    ASSERT_EQ(blank.Width(), 16384);
    ASSERT_EQ(blank.Height(), 64);
    EXPECT_EQ(PixelAt(blank, 16383, 63), 0u);
    shared.data.pop_back();
    EXPECT_FALSE(Decodes(shared.Bytes(), "shared.sgi"));
}

TEST(SunRasterCodec, DecodesEveryDepthAndType) {
    SunFile bgr;
    bgr.data = SunRows({0, 8, 16});
    Bitmap rgb = Load(bgr.Bytes(), "picture.ras");
    EXPECT_EQ(rgb.Format().word, 0x90000018u);
    ExpectPicture(rgb, "24-bit, rows padded to 16 bits");
    SunFile rgbOrder;
    rgbOrder.type = 3;
    rgbOrder.data = SunRows({16, 8, 0});
    ExpectPicture(Load(rgbOrder.Bytes(), "rgb.sun"), "24-bit in RGB order");

    SunFile xbgr;
    xbgr.depth = 32;
    xbgr.data = SunRows({24, 0, 8, 16});
    Bitmap argb = Load(xbgr.Bytes(), "xbgr.ras");
    EXPECT_EQ(argb.Format().word, 0x90000020u);
    EXPECT_EQ(PixelAt(argb, 4, 2), 160u << 24 | Colour(4, 2)) << "the first byte is the alpha";
    xbgr.type = 3;
    xbgr.data = SunRows({24, 16, 8, 0});
    EXPECT_EQ(PixelAt(Load(xbgr.Bytes(), "xrgb.ras"), 4, 2), 160u << 24 | Colour(4, 2));

    Bitmap indexed = Load(MappedSun().Bytes(), "mapped.ras");
    EXPECT_EQ(indexed.Format().word, 0x84000008u);
    ExpectPicture(indexed, "8-bit with an equal-RGB colour map");
    SunFile grey = MappedSun();
    grey.mapType = 0;
    grey.map.clear();
    EXPECT_EQ(Load(grey.Bytes(), "grey.ras").Format().Palette()[0x42], 0xFF424242u) << "no map: grey";

    SunFile mono;
    mono.depth = 1;
    mono.data = {0xA8, 0, 0x50, 0, 0xF8, 0};
    Bitmap bits = Load(mono.Bytes(), "mono.ras");
    EXPECT_EQ(bits.Format().word, 0x88000008u);
    EXPECT_EQ(PixelAt(bits, 0, 0), 0u) << "a set bit is black";
    EXPECT_EQ(PixelAt(bits, 1, 0), 0xFFu);
    EXPECT_EQ(PixelAt(bits, 1, 1), 0u);

    // Byte encoding: 0x80 0 is 0x80 itself, 0x80 n v is n + 1 copies.
    SunFile encoded = MappedSun();
    encoded.type = 2;
    encoded.data = {0x80, 0, 1, 0x80, 6, 2, 0x80, 9, 3};
    Bitmap expanded = Load(encoded.Bytes(), "encoded.ras");
    const uint32_t rows[3][5] = {{0x80, 1, 2, 2, 2}, {2, 2, 2, 3, 3}, {3, 3, 3, 3, 3}};
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) EXPECT_EQ(PixelAt(expanded, x, y), rows[y][x]) << x << ", " << y;
    }
}

TEST(SunRasterCodec, RejectsWhatItDoesNotRead) {
    SunFile swapped;
    swapped.magic = 0x956AA659;
    swapped.data = SunRows({0, 8, 16});
    EXPECT_FALSE(Decodes(swapped.Bytes(), "swapped.ras")) << "the magic in little-endian order";
    SunFile deep = swapped;
    deep.magic = 0x59A66A95;
    deep.depth = 16;
    EXPECT_FALSE(Decodes(deep.Bytes(), "16.ras"));
    SunFile raw = MappedSun();
    raw.mapType = 2;
    EXPECT_FALSE(Decodes(raw.Bytes(), "raw.ras"));
    SunFile colourMapped = swapped;
    colourMapped.magic = 0x59A66A95;
    colourMapped.mapType = 1;
    colourMapped.map.assign(6, 0);
    EXPECT_FALSE(Decodes(colourMapped.Bytes(), "mapped24.ras")) << "colour maps belong to 8-bit images";
    SunFile mono;
    mono.depth = 1;
    mono.type = 2;
    mono.data.assign(6, 0);
    EXPECT_FALSE(Decodes(mono.Bytes(), "mono.ras"));
}

TEST(RasterCodecs, ImageMagickFiles) {
    TempFolder folder;
    std::string input = "'" + folder.write("picture.ppm", codec_picture::Ppm()) + "'";
    std::vector<uint8_t> pcx = imageMagickFile(folder, input, "rgb.pcx");
    if (pcx.empty()) GTEST_SKIP() << "ImageMagick's convert is not available";
    ExpectPicture(Load(pcx, "rgb.pcx"), "ImageMagick RGB PCX");
    ExpectPicture(Load(imageMagickFile(folder, input + " -type Palette", "8.pcx"), "8.pcx"), "ImageMagick 8-bit PCX");
    ExpectPicture(Load(imageMagickFile(folder, input + " -compress None", "plain.sgi"), "plain.sgi"),
                  "ImageMagick verbatim SGI");
    ExpectPicture(Load(imageMagickFile(folder, input + " -compress RLE", "rle.sgi"), "rle.sgi"),
                  "ImageMagick RLE SGI");
    Bitmap grey = Load(imageMagickFile(folder, input + " -colorspace Gray", "grey.sgi"), "grey.sgi");
    EXPECT_EQ(grey.Format().word, 0x88000008u) << "ImageMagick grey SGI";
    ExpectPicture(Load(imageMagickFile(folder, input, "rgb.ras"), "rgb.ras"), "ImageMagick 24-bit Sun raster");
    ExpectPicture(Load(imageMagickFile(folder, input + " -type Palette", "8.ras"), "8.ras"),
                  "ImageMagick 8-bit Sun raster");
}

TEST(RasterCodecs, DamagedFilesFailCleanly) {
    codec_damage::ExpectDamageHandled(IndexedPcx().Bytes(), 128, "indexed.pcx");
    codec_damage::ExpectDamageHandled(RgbPcx().Bytes(), 128, "rgb.pcx");
    codec_damage::ExpectDamageHandled(VerbatimSgi().Bytes(), 512, "verbatim.sgi");
    // A full row needs no terminator.
    codec_damage::ExpectDamageHandled(RunLengthSgi(4).Bytes(), 512 + 96, "rle.sgi", 1);
    SunFile bgr;
    bgr.data = SunRows({0, 8, 16});
    codec_damage::ExpectDamageHandled(bgr.Bytes(), 32, "bgr.ras");
    codec_damage::ExpectDamageHandled(MappedSun().Bytes(), 80, "mapped.ras");
    SunFile encoded = MappedSun();
    encoded.type = 2;
    encoded.data = {0x80, 0, 1, 0x80, 6, 2, 0x80, 9, 3};
    codec_damage::ExpectDamageHandled(encoded.Bytes(), 80, "encoded.ras");
}

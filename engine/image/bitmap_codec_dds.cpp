#include "engine/image/bitmap_codec_dds.h"

#include <algorithm>
#include <vector>

#include "engine/streams/byte_io.h"
#include "engine/image/decoded_image.h"
#include "engine/streams/whole_stream.h"

namespace zentac {

namespace {

constexpr uint32_t kMagic = 0x20534444;  // "DDS "
constexpr size_t kHeaderBytes = 124;
constexpr int kBlockSide = 4;
constexpr int kBlockPixels = kBlockSide * kBlockSide;

constexpr uint32_t FourCc(const char (&code)[5]) {
    return uint32_t{static_cast<uint8_t>(code[0])} | uint32_t{static_cast<uint8_t>(code[1])} << 8 |
           uint32_t{static_cast<uint8_t>(code[2])} << 16 | uint32_t{static_cast<uint8_t>(code[3])} << 24;
}

struct Rgb {
    uint32_t red;
    uint32_t green;
    uint32_t blue;
};

// RGB565 widened by shifting alone: white comes out as 248, 252, 248.
Rgb Widen(uint16_t colour) {
    return {uint32_t{colour} >> 11 << 3, (colour >> 5 & 0x3Fu) << 2, (colour & 0x1Fu) << 3};
}

uint32_t Opaque(Rgb c) { return 0xFF000000 | c.red << 16 | c.green << 8 | c.blue; }

// Index 3 of a block whose end points do not descend: transparent cyan.
constexpr uint32_t kThreeColourIndex3 = 0x0000FFFF;

// The 8-byte colour part: two RGB565 end points and 2-bit indices, one
// byte per pixel row, pixel k in bits 2k and 2k + 1. End points in
// ascending order, or equal, mean three colours and the fixed index 3.
void DecodeColours(const uint8_t* block, uint32_t pixels[kBlockPixels]) {
    uint16_t c0 = LoadLe16(block);
    uint16_t c1 = LoadLe16(block + 2);
    Rgb a = Widen(c0);
    Rgb b = Widen(c1);
    uint32_t table[4] = {Opaque(a), Opaque(b), 0, kThreeColourIndex3};
    if (c0 > c1) {
        table[2] = Opaque({(2 * a.red + b.red) / 3, (2 * a.green + b.green) / 3, (2 * a.blue + b.blue) / 3});
        table[3] = Opaque({(a.red + 2 * b.red) / 3, (a.green + 2 * b.green) / 3, (a.blue + 2 * b.blue) / 3});
    } else {
        table[2] = Opaque({(a.red + b.red) / 2, (a.green + b.green) / 2, (a.blue + b.blue) / 2});
    }
    for (int i = 0; i < kBlockPixels; ++i) pixels[i] = table[block[4 + i / 4] >> (2 * (i % 4)) & 3];
}

void SetAlpha(uint32_t& pixel, uint32_t alpha) { pixel = (pixel & 0x00FFFFFF) | alpha << 24; }

void DecodeDxt1(const uint8_t* block, uint32_t pixels[kBlockPixels]) { DecodeColours(block, pixels); }

// 4-bit alpha per pixel, a 16-bit word per row, then the colour part.
void DecodeDxt3(const uint8_t* block, uint32_t pixels[kBlockPixels]) {
    DecodeColours(block + 8, pixels);
    for (int i = 0; i < kBlockPixels; ++i) {
        SetAlpha(pixels[i], (LoadLe16(block + 2 * (i / 4)) >> (4 * (i % 4)) & 0xF) * 17);
    }
}

// Two alpha end points and 3-bit indices into the table between them,
// pixel 0 in the lowest bits, then the colour part.
void DecodeDxt5(const uint8_t* block, uint32_t pixels[kBlockPixels]) {
    DecodeColours(block + 8, pixels);
    uint32_t a0 = block[0];
    uint32_t a1 = block[1];
    uint32_t table[8] = {a0, a1};
    if (a0 > a1) {
        for (uint32_t i = 1; i < 7; ++i) table[i + 1] = ((7 - i) * a0 + i * a1) / 7;
    } else {
        for (uint32_t i = 1; i < 5; ++i) table[i + 1] = ((5 - i) * a0 + i * a1) / 5;
        table[6] = 0;
        table[7] = 255;
    }
    uint64_t indices = 0;
    for (int i = 0; i < 6; ++i) indices |= uint64_t{block[2 + i]} << (8 * i);
    for (int i = 0; i < kBlockPixels; ++i) SetAlpha(pixels[i], table[indices >> (3 * i) & 7]);
}

struct BlockCodec {
    // Null for the premultiplied DXT2 and DXT4, which are not decoded.
    void (*decode)(const uint8_t* block, uint32_t pixels[kBlockPixels]);
    size_t blockBytes;
};

// By the pixel format's FourCC; false for formats this codec does not read.
bool PickBlockCodec(uint32_t fourCc, BlockCodec& codec) {
    if (fourCc == FourCc("DXT1")) {
        codec = {DecodeDxt1, 8};
    } else if (fourCc == FourCc("DXT3")) {
        codec = {DecodeDxt3, 16};
    } else if (fourCc == FourCc("DXT5")) {
        codec = {DecodeDxt5, 16};
    } else if (fourCc == FourCc("DXT2") || fourCc == FourCc("DXT4")) {
        codec = {nullptr, 16};
    } else {
        return false;
    }
    return true;
}

// Blocks of 4 x 4 pixels, the first block row at the top. Blocks on the
// right and bottom edges may reach past the image; those pixels are dropped.
void DecodeBlocks(const BlockCodec& codec, const uint8_t* blocks, DecodedImage& image) {
    uint32_t pixels[kBlockPixels];
    for (int top = 0; top < image.Height(); top += kBlockSide) {
        for (int left = 0; left < image.Width(); left += kBlockSide, blocks += codec.blockBytes) {
            codec.decode(blocks, pixels);
            int rows = std::min(kBlockSide, image.Height() - top);
            int columns = std::min(kBlockSide, image.Width() - left);
            for (int y = 0; y < rows; ++y) {
                uint8_t* out = image.Row(top + y) + 4 * left;
                for (int x = 0; x < columns; ++x) StoreLe32(out + 4 * x, pixels[y * kBlockSide + x]);
            }
        }
    }
}

bool DecodeDds(Bitmap& bitmap, Stream& stream) {
    std::vector<uint8_t> data = ReadWholeStream(stream);
    ByteReader in(data);
    uint32_t magic = in.Le32();
    const uint8_t* header = in.Take(kHeaderBytes);
    BlockCodec codec;
    if (!header || magic != kMagic || !PickBlockCodec(LoadLe32(header + 80), codec)) return false;
    uint64_t height = LoadLe32(header + 8);
    uint64_t width = LoadLe32(header + 12);
    // The top level's blocks follow the header, whatever the header says
    // about its size.
    uint64_t blockCount = ((width + 3) / 4) * ((height + 3) / 4);
    if (blockCount > in.Remaining() / codec.blockBytes) return false;
    const uint8_t* blocks = in.Take(blockCount * codec.blockBytes);
    DecodedImage image;
    if (!blocks || !image.Allocate(static_cast<int64_t>(width), static_cast<int64_t>(height), ArgbFormat())) {
        return false;
    }
    if (codec.decode) DecodeBlocks(codec, blocks, image);
    image.HandTo(bitmap);
    return true;
}

}  // namespace

BitmapCodec DdsCodecInfo() { return {{"dds"}, DecodeDds, nullptr}; }

}  // namespace zentac

#include "engine/image/bitmap_codec_dds.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "codec_damage.h"
#include "codec_picture.h"
#include "codec_test_helpers.h"
#include "pixel_helpers.h"
#include "tests/image_magick.h"
#include "tests/temp_folder.h"

using codec_picture::PutLe;
using codec_test::Decodes;
using codec_test::Load;
using pixel_test::PixelAt;
using zentac::Bitmap;

namespace {

void PutAt(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t FourCc(const char* code) {
    return uint32_t{static_cast<uint8_t>(code[0])} | uint32_t{static_cast<uint8_t>(code[1])} << 8 |
           uint32_t{static_cast<uint8_t>(code[2])} << 16 | uint32_t{static_cast<uint8_t>(code[3])} << 24;
}

std::vector<uint8_t> Dds(const char* fourCc, uint32_t width, uint32_t height, const std::vector<uint8_t>& blocks) {
    std::vector<uint8_t> bytes = {'D', 'D', 'S', ' '};
    bytes.resize(4 + 124, 0);
    PutAt(bytes, 4, 124);
    PutAt(bytes, 8, 0x81007);
    PutAt(bytes, 12, height);
    PutAt(bytes, 16, width);
    PutAt(bytes, 20, static_cast<uint32_t>(blocks.size()));
    PutAt(bytes, 76, 32);
    PutAt(bytes, 80, 4);
    PutAt(bytes, 84, FourCc(fourCc));
    bytes.insert(bytes.end(), blocks.begin(), blocks.end());
    return bytes;
}

// Two RGB565 end points and sixteen 2-bit indices, pixel i in bits 2i.
std::vector<uint8_t> ColourBlock(uint16_t c0, uint16_t c1, uint32_t indices) {
    std::vector<uint8_t> block;
    PutLe(block, c0, 2);
    PutLe(block, c1, 2);
    PutLe(block, indices, 4);
    return block;
}

// Pixels 0 to 3 of every row take indices 0 to 3.
constexpr uint32_t kIndexPerColumn = 0xE4E4E4E4;

std::vector<uint8_t> Joined(std::vector<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> bytes;
    for (const std::vector<uint8_t>& part : parts) bytes.insert(bytes.end(), part.begin(), part.end());
    return bytes;
}

// Sixteen 3-bit alpha indices, pixel i in bits 3i.
std::vector<uint8_t> AlphaIndices(const std::vector<int>& indices) {
    uint64_t bits = 0;
    for (size_t i = 0; i < indices.size(); ++i) bits |= uint64_t(indices[i]) << (3 * i);
    std::vector<uint8_t> bytes;
    PutLe(bytes, bits, 6);
    return bytes;
}

}  // namespace

TEST(DdsCodec, DecodesDxt1Blocks) {
    Bitmap four = Load(Dds("DXT1", 4, 4, ColourBlock(0xF800, 0x001F, kIndexPerColumn)), "four.DDS");
    EXPECT_EQ(four.Format().word, 0x90000020u);
    const uint32_t fourColours[4] = {0xFFF80000, 0xFF0000F8, 0xFFA50052, 0xFF5200A5};
    for (int x = 0; x < 4; ++x) EXPECT_EQ(PixelAt(four, x, 3), fourColours[x]) << "c0 > c1, index " << x;

    Bitmap three = Load(Dds("DXT1", 4, 4, ColourBlock(0x001F, 0xF800, kIndexPerColumn)), "three.dds");
    const uint32_t threeColours[4] = {0xFF0000F8, 0xFFF80000, 0xFF7C007C, 0x0000FFFF};
    for (int x = 0; x < 4; ++x) EXPECT_EQ(PixelAt(three, x, 0), threeColours[x]) << "c0 < c1, index " << x;
    Bitmap equal = Load(Dds("DXT1", 4, 4, ColourBlock(0x1234, 0x1234, kIndexPerColumn)), "equal.dds");
    EXPECT_EQ(PixelAt(equal, 3, 2), 0x0000FFFFu) << "c0 = c1, index 3";

    EXPECT_EQ(PixelAt(Load(Dds("DXT1", 4, 4, ColourBlock(0xFFFF, 0, 0)), "white.dds"), 2, 2), 0xFFF8FCF8u)
        << "widened by shifting";

    // 6 x 6 takes 2 x 2 blocks; the edge blocks' pixels past the image are dropped.
    std::vector<uint8_t> blocks;
    for (uint16_t colour : {0x0001, 0x0002, 0x0003, 0x0004}) {
        std::vector<uint8_t> block = ColourBlock(colour, 0, 0);
        blocks.insert(blocks.end(), block.begin(), block.end());
    }
    Bitmap six = Load(Dds("DXT1", 6, 6, blocks), "six.dds");
    ASSERT_EQ(six.Width(), 6);
    EXPECT_EQ(PixelAt(six, 3, 3), 0xFF000008u);
    EXPECT_EQ(PixelAt(six, 5, 0), 0xFF000010u);
    EXPECT_EQ(PixelAt(six, 0, 5), 0xFF000018u);
    EXPECT_EQ(PixelAt(six, 5, 5), 0xFF000020u);
}

TEST(DdsCodec, DecodesAlphaOfDxt3AndDxt5) {
    std::vector<uint8_t> explicitAlpha;
    for (int row = 0; row < 4; ++row) PutLe(explicitAlpha, 0xF0A5, 2);
    // The colour parts have c0 < c1 and pixels 0 to 3 of a row take colour
    // indices 0 to 3: index 3 is the fixed cyan under the block's alpha.
    std::vector<uint8_t> dxt3 = Joined({explicitAlpha, ColourBlock(0x001F, 0xF800, kIndexPerColumn)});
    Bitmap explicitBitmap = Load(Dds("DXT3", 4, 4, dxt3), "dxt3.dds");
    const uint32_t explicitPixels[4] = {0x550000F8, 0xAAF80000, 0x007C007C, 0xFF00FFFF};
    for (int x = 0; x < 4; ++x) EXPECT_EQ(PixelAt(explicitBitmap, x, 1), explicitPixels[x]) << "DXT3 " << x;

    std::vector<uint8_t> colours = ColourBlock(0x001F, 0xF800, kIndexPerColumn);
    std::vector<uint8_t> eightSteps = Joined({{200, 100}, AlphaIndices({0, 1, 2, 7}), colours});
    Bitmap eight = Load(Dds("DXT5", 4, 4, eightSteps), "dxt5.dds");
    const uint32_t eightPixels[4] = {0xC80000F8, 0x64F80000, 0xB97C007C, 0x7200FFFF};
    for (int x = 0; x < 4; ++x) EXPECT_EQ(PixelAt(eight, x, 0), eightPixels[x]) << "DXT5 " << x;
    std::vector<uint8_t> sixSteps = Joined({{100, 200}, AlphaIndices({2, 5, 6, 7}), colours});
    Bitmap six = Load(Dds("DXT5", 4, 4, sixSteps), "dxt5.dds");
    const uint32_t sixAlphas[4] = {120, 180, 0, 255};
    for (int x = 0; x < 4; ++x) EXPECT_EQ(PixelAt(six, x, 0) >> 24, sixAlphas[x]) << "DXT5 " << x;
    EXPECT_EQ(PixelAt(six, 3, 3) >> 24, 100u) << "index 0 past the listed pixels";

    // Premultiplied textures are taken but not decoded.
    for (const char* fourCc : {"DXT2", "DXT4"}) {
        Bitmap premultiplied = Load(Dds(fourCc, 5, 4, Joined({dxt3, dxt3})), "premultiplied.dds");
        ASSERT_EQ(premultiplied.Width(), 5) << fourCc;
        for (int i = 0; i < 5 * 4; ++i) EXPECT_EQ(PixelAt(premultiplied, i % 5, i / 5), 0u) << fourCc << " " << i;
        EXPECT_FALSE(Decodes(Dds(fourCc, 5, 4, dxt3), "short.dds")) << fourCc << " needs its blocks";
    }
}

TEST(DdsCodec, RejectsWhatItDoesNotRead) {
    std::vector<uint8_t> block = ColourBlock(0xF800, 0x001F, 0);
    EXPECT_TRUE(Decodes(Dds("DXT1", 4, 4, block), "ok.dds"));
    EXPECT_FALSE(Decodes(Dds("DX10", 4, 4, block), "dx10.dds"));
    EXPECT_FALSE(Decodes(Dds("\0\0\0\0", 4, 4, block), "plain.dds")) << "uncompressed pixels";
    EXPECT_FALSE(Decodes(Dds("DXT1", 8, 4, block), "short.dds")) << "a block missing";
    EXPECT_FALSE(Decodes(Dds("DXT1", 0, 4, block), "empty.dds"));
    std::vector<uint8_t> wrongMagic = Dds("DXT1", 4, 4, block);
    wrongMagic[3] = 'X';
    EXPECT_FALSE(Decodes(wrongMagic, "magic.dds"));
}

TEST(DdsCodec, ImageMagickFiles) {
    TempFolder folder;
    std::string input = "'" + folder.write("picture.ppm", codec_picture::Ppm()) + "' -define dds:mipmaps=0";
    std::vector<uint8_t> dxt1 = imageMagickFile(folder, input + " -define dds:compression=dxt1", "dxt1.dds");
    if (dxt1.empty()) GTEST_SKIP() << "ImageMagick's convert is not available";
    std::string withAlpha = input + " -alpha set -channel A -evaluate set 50% +channel -define dds:compression=dxt5";
    std::vector<uint8_t> dxt5 = imageMagickFile(folder, withAlpha, "dxt5.dds");

    // ImageMagick's own reading, which widens end points a little
    // differently, is the reference.
    for (const std::vector<uint8_t>* file : {&dxt1, &dxt5}) {
        std::string name = file == &dxt1 ? "dxt1.dds" : "dxt5.dds";
        std::vector<uint32_t> expected = codec_picture::PpmPixels(imageMagickFile(folder, "'" + folder / name + "'",
                                                                                  "reference.ppm"));
        ASSERT_EQ(expected.size(), size_t{codec_picture::kWidth * codec_picture::kHeight}) << name;
        Bitmap decoded = Load(*file, name.c_str());
        for (int i = 0; i < codec_picture::kWidth * codec_picture::kHeight; ++i) {
            uint32_t pixel = PixelAt(decoded, i % codec_picture::kWidth, i / codec_picture::kWidth);
            for (int shift : {0, 8, 16}) {
                EXPECT_NEAR(static_cast<int>(pixel >> shift & 0xFF), static_cast<int>(expected[i] >> shift & 0xFF), 8)
                    << name << " pixel " << i << " shift " << shift;
            }
            EXPECT_NEAR(static_cast<int>(pixel >> 24), file == &dxt1 ? 255 : 128, 2) << name << " alpha " << i;
        }
    }
}

TEST(DdsCodec, DamagedFilesFailCleanly) {
    std::vector<uint8_t> blocks;
    for (int i = 0; i < 4; ++i) {
        std::vector<uint8_t> block = ColourBlock(static_cast<uint16_t>(0x1234 * i), 0x8000, 0x1B1B1B1Bu * i);
        blocks.insert(blocks.end(), block.begin(), block.end());
    }
    codec_damage::ExpectDamageHandled(Dds("DXT1", 6, 5, blocks), 128, "dxt1.dds");
    std::vector<uint8_t> dxt5 = Joined({{200, 100}, AlphaIndices({0, 1, 2, 7, 6, 5}), ColourBlock(0x8000, 0x1234, 0)});
    codec_damage::ExpectDamageHandled(Dds("DXT5", 3, 4, dxt5), 128, "dxt5.dds");
}

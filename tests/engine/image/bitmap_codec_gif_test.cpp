#include "engine/image/bitmap_codec_gif.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "codec_test_helpers.h"
#include "pixel_helpers.h"

using codec_test::Decodes;
using codec_test::Load;
using codec_test::LoadFailure;
using pixel_test::PixelAt;
using zentac::Bitmap;

namespace {

// giflib's writer loses a local map that no later local map replaces:
// tests give every image after one with a local map a map of its own.
struct GifImage {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool interlace = false;
    std::vector<uint32_t> colours;  // a local map when not empty, 0xRRGGBB
    std::vector<uint8_t> raster;    // rows in the order the file stores them
};

struct GifFile {
    int width = 0;
    int height = 0;
    int background = 0;
    std::vector<uint32_t> colours;  // the global map when not empty
    int transparent = -1;           // a graphic-control block before the first image
    std::vector<GifImage> images;
};

int AppendBytes(GifFileType* gif, const GifByteType* bytes, int count) {
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    out->insert(out->end(), bytes, bytes + count);
    return count;
}

// Map sizes must be powers of two.
ColorMapObject* MakeMap(const std::vector<uint32_t>& colours) {
    if (colours.empty()) return nullptr;
    std::vector<GifColorType> entries;
    for (uint32_t c : colours) entries.push_back({uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
    return GifMakeMapObject(static_cast<int>(entries.size()), entries.data());
}

std::vector<uint8_t> WriteGif(const GifFile& file) {
    std::vector<uint8_t> bytes;
    GifFileType* gif = EGifOpen(&bytes, AppendBytes, nullptr);
    EGifSetGifVersion(gif, true);
    ColorMapObject* global = MakeMap(file.colours);
    EXPECT_EQ(EGifPutScreenDesc(gif, file.width, file.height, 8, file.background, global), GIF_OK);
    GifFreeMapObject(global);
    if (file.transparent >= 0) {
        const GifByteType control[4] = {1, 0, 0, static_cast<GifByteType>(file.transparent)};
        EXPECT_EQ(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control), GIF_OK);
    }
    for (const GifImage& image : file.images) {
        ColorMapObject* local = MakeMap(image.colours);
        EXPECT_EQ(EGifPutImageDesc(gif, image.left, image.top, image.width, image.height, image.interlace, local),
                  GIF_OK);
        GifFreeMapObject(local);
        std::vector<uint8_t> raster = image.raster;
        for (int y = 0; y < image.height; ++y) {
            EXPECT_EQ(EGifPutLine(gif, &raster[y * image.width], image.width), GIF_OK);
        }
    }
    EGifCloseFile(gif, nullptr);
    return bytes;
}

std::vector<uint32_t> Greys(int count) {
    std::vector<uint32_t> colours;
    for (int i = 0; i < count; ++i) colours.push_back(0x010101u * static_cast<uint32_t>(i * 255 / (count - 1)));
    return colours;
}

GifImage Counting(int width, int height) {
    GifImage image;
    image.width = width;
    image.height = height;
    for (int i = 0; i < width * height; ++i) image.raster.push_back(static_cast<uint8_t>(i % 16));
    return image;
}

GifFile Screen(int width, int height, std::vector<GifImage> images) {
    GifFile file;
    file.width = width;
    file.height = height;
    file.colours = Greys(16);
    file.images = std::move(images);
    return file;
}

std::vector<uint8_t> Row(const Bitmap& bitmap, int y) {
    const uint8_t* row = bitmap.Image() + y * bitmap.Pitch();
    return {row, row + bitmap.Width()};
}

// Where the first image descriptor of a file written without extensions
// or a local map lies: after the header, the screen and the global map.
size_t FirstDescriptor(const GifFile& file) { return 13 + 3 * file.colours.size(); }

}  // namespace

TEST(GifCodec, DecodesPaletteTransparencyAndPixels) {
    Bitmap bitmap = Load(WriteGif(Screen(4, 3, {Counting(4, 3)})), "picture.GIF");
    ASSERT_EQ(bitmap.Width(), 4);
    ASSERT_EQ(bitmap.Height(), 3);
    EXPECT_EQ(bitmap.Format().word, 0x84000008u);
    const uint32_t* palette = bitmap.Format().Palette();
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(palette[0], 0xFF000000u);
    EXPECT_EQ(palette[15], 0xFFFFFFFFu);
    // Past the 16 colours of the map: transparent black.
    for (int i = 16; i < 256; ++i) ASSERT_EQ(palette[i], 0u) << i;
    for (int i = 0; i < 12; ++i) EXPECT_EQ(PixelAt(bitmap, i % 4, i / 4), static_cast<uint32_t>(i)) << i;

    GifFile keyed = Screen(2, 2, {Counting(2, 2)});
    keyed.colours = Greys(256);
    keyed.transparent = 200;
    Bitmap transparent = Load(WriteGif(keyed), "keyed.gif");
    EXPECT_EQ(transparent.Format().Palette()[200], 0x00C8C8C8u);
    EXPECT_EQ(transparent.Format().Palette()[199], 0xFFC7C7C7u);

    // Through the palette into the engine's working format.
    std::vector<uint8_t> bytes = WriteGif(keyed);
    zentac::MemoryStream file(bytes.data(), static_cast<int32_t>(bytes.size()), zentac::MemoryStream::Borrow{});
    Bitmap argb;
    argb.LoadAndConvert(file, "keyed.gif", zentac::ArgbFormat());
    EXPECT_EQ(PixelAt(argb, 1, 1), 0xFF030303u);
}

TEST(GifCodec, PlacesInterlacedAndPartialImagesOnTheScreen) {
    // Stored rows 0 to 4 of an interlaced image of height 5 are screen rows
    // 0, 4, 2, 1 and 3.
    GifImage interlaced;
    interlaced.width = 3;
    interlaced.height = 5;
    interlaced.interlace = true;
    for (int stored = 0; stored < 5; ++stored) interlaced.raster.insert(interlaced.raster.end(), 3, uint8_t(stored));
    Bitmap rows = Load(WriteGif(Screen(3, 5, {interlaced})), "rows.gif");
    const int storedRowOf[5] = {0, 3, 2, 4, 1};
    for (int y = 0; y < 5; ++y) EXPECT_EQ(Row(rows, y), std::vector<uint8_t>(3, uint8_t(storedRowOf[y]))) << y;

    // The first image's own map gives its colours; later images are not read.
    GifImage local = Counting(2, 2);
    local.colours = {0x102030, 0x405060};
    GifImage later = Counting(2, 2);
    later.colours = Greys(4);
    GifFile withLocal = Screen(2, 2, {local, later});
    Bitmap mapped = Load(WriteGif(withLocal), "local.gif");
    EXPECT_EQ(mapped.Format().Palette()[1], 0xFF405060u);
    EXPECT_EQ(mapped.Format().Palette()[2], 0u);

    // A smaller first image sits at its place on the background; one that
    // reaches past the screen is cut at its edges.
    GifImage patch = Counting(2, 2);
    patch.left = 1;
    patch.top = 1;
    GifFile patched = Screen(4, 3, {patch});
    patched.background = 9;
    Bitmap placed = Load(WriteGif(patched), "patch.gif");
    EXPECT_EQ(Row(placed, 0), (std::vector<uint8_t>{9, 9, 9, 9}));
    EXPECT_EQ(Row(placed, 1), (std::vector<uint8_t>{9, 0, 1, 9}));
    EXPECT_EQ(Row(placed, 2), (std::vector<uint8_t>{9, 2, 3, 9}));
    patch.left = 3;
    patch.top = 2;
    Bitmap cut = Load(WriteGif(Screen(4, 3, {patch})), "cut.gif");
    EXPECT_EQ(Row(cut, 2), (std::vector<uint8_t>{0, 0, 0, 0}));
}

TEST(GifCodec, RejectsMalformedStreamsWithTheirMessages) {
    EXPECT_EQ(LoadFailure({'P', 'N', 'G', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "x.gif"), "Cannot open .gif stream.");
    EXPECT_EQ(LoadFailure({}, "x.gif"), "Cannot open .gif stream.");
    EXPECT_EQ(LoadFailure(WriteGif(Screen(4, 4, {})), "x.gif"), "Incorrect gif stream.");
    // No colour map anywhere: the screen's map flag cleared and its table cut out.
    GifFile mapped = Screen(2, 2, {Counting(2, 2)});
    std::vector<uint8_t> mapless = WriteGif(mapped);
    mapless[10] &= 0x7F;
    mapless.erase(mapless.begin() + 13, mapless.begin() + static_cast<std::ptrdiff_t>(FirstDescriptor(mapped)));
    EXPECT_EQ(LoadFailure(mapless, "x.gif"), "Incorrect gif stream.");

    // Sizes that the data could never paint are refused before anything
    // is allocated for them.
    GifFile file = Screen(4, 4, {Counting(4, 4)});
    std::vector<uint8_t> valid = WriteGif(file);
    ASSERT_TRUE(Decodes(valid, "x.gif"));
    size_t descriptor = FirstDescriptor(file);
    ASSERT_EQ(valid[descriptor], 0x2C);
    struct Patch {
        size_t at;
        uint8_t low, high;
    };
    for (Patch patch : {Patch{6, 0, 0}, Patch{6, 0xFF, 0xFF}, Patch{8, 0xFF, 0xFF}, Patch{descriptor + 5, 0xFF, 0xFF},
                        Patch{descriptor + 7, 0xFF, 0xFF}, Patch{descriptor + 7, 0, 0}}) {
        std::vector<uint8_t> patched = valid;
        patched[patch.at] = patch.low;
        patched[patch.at + 1] = patch.high;
        EXPECT_EQ(LoadFailure(patched, "x.gif"), "Incorrect gif stream.") << patch.at;
    }
    // Cut inside the pixel data.
    std::vector<uint8_t> cut(valid.begin(), valid.end() - 4);
    EXPECT_EQ(LoadFailure(cut, "x.gif"), "Cannot read .gif stream.");
}

TEST(GifCodec, SurvivesTruncationFlipsAndOverrunningCodes) {
    GifImage interlaced = Counting(9, 7);
    interlaced.interlace = true;
    interlaced.colours = Greys(4);
    GifImage later = Counting(3, 3);
    later.colours = Greys(16);
    GifFile file = Screen(9, 7, {interlaced, later});
    file.transparent = 3;
    std::vector<uint8_t> valid = WriteGif(file);
    ASSERT_TRUE(Decodes(valid, "x.gif"));
    for (size_t size = 0; size < valid.size(); ++size) {
        Decodes(std::vector<uint8_t>(valid.begin(), valid.begin() + size), "x.gif");
    }
    codec_test::ForEachFlip(valid, 0, [](const std::vector<uint8_t>& bytes) { Decodes(bytes, "x.gif"); });

    // Code streams of random bytes, with every code size byte the format
    // allows and some it does not: more codes than pixels, codes beyond the
    // table, data that ends early.
    GifFile plain = Screen(16, 16, {Counting(16, 16)});
    std::vector<uint8_t> head = WriteGif(plain);
    head.resize(FirstDescriptor(plain) + 10);
    std::mt19937 random(7);
    for (uint8_t codeSize : {0, 1, 2, 7, 8, 9, 12, 255}) {
        for (size_t length : {1u, 20u, 255u, 2000u}) {
            std::vector<uint8_t> bytes = head;
            bytes.push_back(codeSize);
            for (size_t left = length; left > 0;) {
                size_t block = std::min<size_t>(left, 255);
                bytes.push_back(static_cast<uint8_t>(block));
                for (size_t i = 0; i < block; ++i) bytes.push_back(static_cast<uint8_t>(random()));
                left -= block;
            }
            bytes.push_back(0);
            bytes.push_back(0x3B);
            Decodes(bytes, "x.gif");
        }
    }
}

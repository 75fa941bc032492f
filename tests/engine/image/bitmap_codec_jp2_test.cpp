#include "engine/image/bitmap_codec_jp2.h"

#include <gtest/gtest.h>
#include <openjpeg.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "codec_test_helpers.h"
#include "pixel_helpers.h"

using codec_test::Decodes;
using codec_test::Load;
using codec_test::LoadFailure;
using pixel_test::PixelAt;
using zentac::Bitmap;

namespace {

struct Component {
    int dx = 1;
    int dy = 1;
    int precision = 8;
    bool isSigned = false;
    bool alpha = false;
    std::vector<int32_t> samples;  // (width / dx) x (height / dy), row by row
};

struct Jp2Image {
    OPJ_CODEC_FORMAT codec = OPJ_CODEC_J2K;
    OPJ_COLOR_SPACE space = OPJ_CLRSPC_SRGB;
    int width = 0;
    int height = 0;
    std::vector<Component> components;
};

// A growable file that OpenJPEG writes into and seeks back in.
struct MemoryFile {
    std::vector<uint8_t> bytes;
    size_t position = 0;
};

OPJ_SIZE_T WriteToMemory(void* buffer, OPJ_SIZE_T count, void* user) {
    auto* file = static_cast<MemoryFile*>(user);
    if (file->bytes.size() < file->position + count) file->bytes.resize(file->position + count);
    std::memcpy(file->bytes.data() + file->position, buffer, count);
    file->position += count;
    return count;
}

OPJ_OFF_T SkipInMemory(OPJ_OFF_T count, void* user) {
    static_cast<MemoryFile*>(user)->position += static_cast<size_t>(count);
    return count;
}

OPJ_BOOL SeekInMemory(OPJ_OFF_T offset, void* user) {
    static_cast<MemoryFile*>(user)->position = static_cast<size_t>(offset);
    return OPJ_TRUE;
}

// Lossless: one layer, the reversible wavelet, three resolutions.
std::vector<uint8_t> Encode(const Jp2Image& spec) {
    std::vector<opj_image_cmptparm_t> parameters(spec.components.size());
    for (size_t i = 0; i < spec.components.size(); ++i) {
        const Component& c = spec.components[i];
        parameters[i] = {};
        parameters[i].dx = static_cast<OPJ_UINT32>(c.dx);
        parameters[i].dy = static_cast<OPJ_UINT32>(c.dy);
        parameters[i].w = static_cast<OPJ_UINT32>(spec.width / c.dx);
        parameters[i].h = static_cast<OPJ_UINT32>(spec.height / c.dy);
        parameters[i].prec = static_cast<OPJ_UINT32>(c.precision);
        parameters[i].sgnd = c.isSigned;
    }
    opj_image_t* image = opj_image_create(static_cast<OPJ_UINT32>(parameters.size()), parameters.data(), spec.space);
    image->x1 = static_cast<OPJ_UINT32>(spec.width);
    image->y1 = static_cast<OPJ_UINT32>(spec.height);
    for (size_t i = 0; i < spec.components.size(); ++i) {
        image->comps[i].alpha = spec.components[i].alpha;
        std::copy(spec.components[i].samples.begin(), spec.components[i].samples.end(), image->comps[i].data);
    }
    opj_cparameters_t settings;
    opj_set_default_encoder_parameters(&settings);
    settings.tcp_numlayers = 1;
    settings.tcp_rates[0] = 0;
    settings.cp_disto_alloc = 1;
    settings.numresolution = 3;
    settings.tcp_mct = 0;
    opj_codec_t* codec = opj_create_compress(spec.codec);
    MemoryFile file;
    opj_stream_t* stream = opj_stream_create(1 << 16, OPJ_FALSE);
    opj_stream_set_user_data(stream, &file, nullptr);
    opj_stream_set_write_function(stream, WriteToMemory);
    opj_stream_set_skip_function(stream, SkipInMemory);
    opj_stream_set_seek_function(stream, SeekInMemory);
    bool encoded = opj_setup_encoder(codec, &settings, image) && opj_start_compress(codec, image, stream) &&
                   opj_encode(codec, stream) && opj_end_compress(codec, stream);
    EXPECT_TRUE(encoded);
    opj_stream_destroy(stream);
    opj_destroy_codec(codec);
    opj_image_destroy(image);
    return file.bytes;
}

// Sample (x, y) of component c: distinct in every channel.
int32_t Pattern(int c, int x, int y) { return (x * 7 + y * 13 + c * 50) & 255; }

Component Patterned(int c, int width, int height, int dx = 1, int dy = 1) {
    Component component;
    component.dx = dx;
    component.dy = dy;
    for (int y = 0; y < height / dy; ++y) {
        for (int x = 0; x < width / dx; ++x) component.samples.push_back(Pattern(c, x, y));
    }
    return component;
}

Jp2Image Patterned(OPJ_CODEC_FORMAT codec, OPJ_COLOR_SPACE space, int count, int side) {
    Jp2Image image;
    image.codec = codec;
    image.space = space;
    image.width = side;
    image.height = side;
    for (int c = 0; c < count; ++c) image.components.push_back(Patterned(c, side, side));
    return image;
}

// The value of byte `index` of pixel (x, y).
uint8_t ByteAt(const Bitmap& bitmap, int x, int y, int index) {
    return bitmap.Image()[y * bitmap.Pitch() + x * bitmap.Format().BytesPerPixel() + index];
}

// The offset of SIZ's field in a bare codestream.
constexpr size_t kSizWidth = 8;
constexpr size_t kSizTileWidth = 24;
constexpr size_t kSizComponents = 40;

void Store32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

// A bare codestream grown to exactly size bytes by a comment behind SIZ.
std::vector<uint8_t> PaddedTo(std::vector<uint8_t> codestream, size_t size) {
    size_t comment = 4 + (codestream[4] << 8 | codestream[5]);
    size_t length = size - codestream.size() - 2;
    std::vector<uint8_t> segment = {0xFF, 0x64, static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length), 0, 1};
    segment.resize(length + 2, 'x');
    codestream.insert(codestream.begin() + static_cast<std::ptrdiff_t>(comment), segment.begin(), segment.end());
    return codestream;
}

}  // namespace

TEST(Jp2Codec, DecodesEachComponentCountInMemoryOrder) {
    struct Layout {
        int count;
        OPJ_COLOR_SPACE space;
        uint32_t word;
        uint32_t redMask;
        uint32_t alphaMask;
    };
    const Layout layouts[] = {
        {1, OPJ_CLRSPC_GRAY, 0x88000008, 0, 0},
        {2, OPJ_CLRSPC_GRAY, 0x88000010, 0, 0xFF00},
        {3, OPJ_CLRSPC_SRGB, 0x90000018, 0xFF, 0},
        {4, OPJ_CLRSPC_SRGB, 0x90000020, 0xFF, 0xFF000000},
    };
    for (OPJ_CODEC_FORMAT codec : {OPJ_CODEC_J2K, OPJ_CODEC_JP2}) {
        for (const Layout& layout : layouts) {
            Jp2Image spec = Patterned(codec, layout.space, layout.count, 64);
            if (layout.count % 2 == 0) spec.components.back().alpha = true;
            Bitmap bitmap = Load(Encode(spec), codec == OPJ_CODEC_JP2 ? "image.JP2" : "image.j2k");
            ASSERT_EQ(bitmap.Width(), 64);
            ASSERT_EQ(bitmap.Height(), 64);
            EXPECT_EQ(bitmap.Format().word, layout.word);
            EXPECT_EQ(bitmap.Format().redMask, layout.redMask);
            EXPECT_EQ(bitmap.Format().alphaMask, layout.alphaMask);
            for (int c = 0; c < layout.count; ++c) {
                EXPECT_EQ(ByteAt(bitmap, 5, 9, c), Pattern(c, 5, 9)) << layout.count << " components, byte " << c;
                EXPECT_EQ(ByteAt(bitmap, 63, 62, c), Pattern(c, 63, 62)) << layout.count << " components, byte " << c;
            }
        }
    }
    // The other extension decodes too, and the generic blitter reads the
    // red-first layout.
    Bitmap rgb = Load(Encode(Patterned(OPJ_CODEC_J2K, OPJ_CLRSPC_SRGB, 3, 64)), "image.jpc");
    rgb.Convert(zentac::ArgbFormat());
    EXPECT_EQ(PixelAt(rgb, 1, 2), 0xFF000000u | uint32_t(Pattern(0, 1, 2)) << 16 | uint32_t(Pattern(1, 1, 2)) << 8 |
                                      uint32_t(Pattern(2, 1, 2)));
}

TEST(Jp2Codec, StretchesSmallImagesAndScalesSamples) {
    // Below 64 pixels on a side: 128 x 128 by nearest neighbour.
    Bitmap small = Load(Encode(Patterned(OPJ_CODEC_J2K, OPJ_CLRSPC_GRAY, 1, 32)), "small.j2k");
    ASSERT_EQ(small.Width(), 128);
    ASSERT_EQ(small.Height(), 128);
    EXPECT_EQ(ByteAt(small, 41, 127, 0), Pattern(0, 10, 31));

    // 4-bit samples widen, 12-bit ones keep their top 8 bits, signed ones
    // are lifted by 128.
    Jp2Image depths = Patterned(OPJ_CODEC_JP2, OPJ_CLRSPC_SRGB, 3, 64);
    depths.components[0].precision = 4;
    for (int32_t& s : depths.components[0].samples) s &= 15;
    depths.components[1].precision = 12;
    for (int32_t& s : depths.components[1].samples) s = s * 16 + 9;
    depths.components[2].isSigned = true;
    for (int32_t& s : depths.components[2].samples) s -= 128;
    Bitmap scaled = Load(Encode(depths), "depths.jp2");
    EXPECT_EQ(ByteAt(scaled, 3, 4, 0), (Pattern(0, 3, 4) & 15) << 4);
    EXPECT_EQ(ByteAt(scaled, 3, 4, 1), Pattern(1, 3, 4));
    EXPECT_EQ(ByteAt(scaled, 3, 4, 2), Pattern(2, 3, 4));

    // 4:2:0 YCbCr: each chroma sample covers 2 x 2 pixels.
    Jp2Image ycc = Patterned(OPJ_CODEC_JP2, OPJ_CLRSPC_SYCC, 1, 64);
    ycc.components.push_back(Patterned(1, 64, 64, 2, 2));
    ycc.components.push_back(Patterned(2, 64, 64, 2, 2));
    Bitmap converted = Load(Encode(ycc), "ycc.jp2");
    ASSERT_EQ(converted.Width(), 64);
    ASSERT_EQ(converted.Format().word, 0x90000018u);
    auto clamp = [](double v) { return static_cast<int>(std::clamp(v, 0.0, 255.0)); };
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            double luma = (Pattern(0, x, y) - 16) * 1.164;
            int cb = Pattern(1, x / 2, y / 2) - 128;
            int cr = Pattern(2, x / 2, y / 2) - 128;
            ASSERT_EQ(ByteAt(converted, x, y, 0), clamp(luma + 1.596 * cr)) << x << "," << y;
            ASSERT_EQ(ByteAt(converted, x, y, 1), clamp(luma - 0.813 * cr - 0.391 * cb)) << x << "," << y;
            ASSERT_EQ(ByteAt(converted, x, y, 2), clamp(luma + 2.018 * cb)) << x << "," << y;
        }
    }
}

TEST(Jp2Codec, RejectsWhatItCannotDecode) {
    EXPECT_EQ(LoadFailure({'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0}, "x.jp2"), "Unrecognized input stream.");
    EXPECT_EQ(LoadFailure({}, "x.jp2"), "Unrecognized input stream.");
    EXPECT_EQ(LoadFailure(Encode(Patterned(OPJ_CODEC_J2K, OPJ_CLRSPC_UNSPECIFIED, 5, 16)), "x.j2k"),
              "Incorrect number of components.");

    std::vector<uint8_t> valid = Encode(Patterned(OPJ_CODEC_J2K, OPJ_CLRSPC_SRGB, 3, 16));
    ASSERT_TRUE(Decodes(valid, "x.j2k"));
    std::vector<uint8_t> cut(valid.begin(), valid.end() - 10);
    EXPECT_EQ(LoadFailure(cut, "x.j2k"), "Cannot decode JPEG-2000 stream.");
    std::vector<uint8_t> noComponents = valid;
    noComponents[kSizComponents + 1] = 0;
    EXPECT_EQ(LoadFailure(noComponents, "x.j2k"), "Incorrect number of components.");

    // Headers that would have OpenJPEG allocate gigabytes are refused first.
    for (uint32_t width : {0xFFFFFFFFu, 0x10000000u, 0x00100000u}) {
        std::vector<uint8_t> wide = valid;
        Store32(wide, kSizWidth, width);
        EXPECT_EQ(LoadFailure(wide, "x.j2k"), "JPEG-2000 image is too large.") << width;
    }
    // A palette that would expand one component into 200.
    std::vector<uint8_t> jp2 = Encode(Patterned(OPJ_CODEC_JP2, OPJ_CLRSPC_GRAY, 1, 16));
    ASSERT_TRUE(Decodes(jp2, "x.jp2"));
    const uint8_t header[4] = {'j', 'p', '2', 'h'};
    size_t at = std::search(jp2.begin(), jp2.end(), header, header + 4) - jp2.begin() - 4;
    std::vector<uint8_t> palette = {0, 0, 0, 11, 'p', 'c', 'l', 'r', 0, 1, 200};
    jp2.insert(jp2.begin() + static_cast<std::ptrdiff_t>(at + 8), palette.begin(), palette.end());
    Store32(jp2, at, static_cast<uint32_t>(jp2[at + 3] + palette.size()));
    EXPECT_EQ(LoadFailure(jp2, "x.jp2"), "Incorrect number of components.");

    std::vector<uint8_t> tinyTiles = valid;
    Store32(tinyTiles, kSizWidth, 4096);
    Store32(tinyTiles, kSizWidth + 4, 4096);
    Store32(tinyTiles, kSizTileWidth, 1);
    Store32(tinyTiles, kSizTileWidth + 4, 1);
    EXPECT_EQ(LoadFailure(tinyTiles, "x.j2k"), "JPEG-2000 image is too large.");
}

TEST(Jp2Codec, FlatPicturesAskForNoMoreThanTheCodestreamHolds) {
    // A flat picture costs a few hundred bytes at any size. A megapixel of
    // samples, grey or four components, needs a 1024-byte codestream (half
    // a megapixel, and 512 samples a byte); one byte less is refused.
    Jp2Image grey;
    grey.width = grey.height = 1024;
    grey.components.push_back({});
    grey.components[0].samples.assign(1024 * 1024, 200);
    Jp2Image rgba;
    rgba.width = rgba.height = 512;
    rgba.components.resize(4);
    for (Component& component : rgba.components) component.samples.assign(512 * 512, 200);
    rgba.components[3].alpha = true;
    for (const Jp2Image* flat : {&grey, &rgba}) {
        std::vector<uint8_t> codestream = Encode(*flat);
        ASSERT_LT(codestream.size(), 1000u);
        Bitmap bitmap = Load(PaddedTo(codestream, 1024), "flat.j2k");
        ASSERT_EQ(bitmap.Width(), flat->width);
        EXPECT_EQ(ByteAt(bitmap, flat->width - 1, flat->height - 1, 0), 200);
        EXPECT_EQ(LoadFailure(PaddedTo(codestream, 1023), "flat.j2k"), "JPEG-2000 image is too large.");
    }
    // Each tile has a tile-part of 14 bytes at least: 74 tiles need 1036.
    std::vector<uint8_t> codestream = Encode(grey);
    for (size_t size : {1036u, 1035u}) {
        std::vector<uint8_t> tiled = PaddedTo(codestream, size);
        Store32(tiled, kSizTileWidth, 14);
        EXPECT_EQ(LoadFailure(tiled, "tiled.j2k") == "JPEG-2000 image is too large.", size == 1035) << size;
    }
}

TEST(Jp2Codec, SurvivesEveryTruncationAndFlippedBytes) {
    for (OPJ_CODEC_FORMAT codec : {OPJ_CODEC_J2K, OPJ_CODEC_JP2}) {
        Jp2Image spec = Patterned(codec, OPJ_CLRSPC_SRGB, 4, 8);
        spec.components[3].alpha = true;
        std::vector<uint8_t> valid = Encode(spec);
        ASSERT_TRUE(Decodes(valid, "x.jp2"));
        for (size_t size = 0; size < valid.size(); ++size) {
            Decodes(std::vector<uint8_t>(valid.begin(), valid.begin() + size), "x.jp2");
        }
        codec_test::ForEachFlip(valid, 0, [](const std::vector<uint8_t>& bytes) { Decodes(bytes, "x.jp2"); });
    }
}

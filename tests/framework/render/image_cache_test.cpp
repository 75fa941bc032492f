#include "framework/render/image_cache.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/image/bitmap.h"
#include "engine/image/bitmap_codec.h"
#include "engine/core/exception.h"
#include "engine/files/memory_stream.h"
#include "tests/png_writer.h"
#include "tests/temp_folder.h"

namespace {

// The message of the engine exception that loading the name throws.
std::string failureOf(ImageCache& cache, const std::string& name) {
    try {
        cache.get(name);
    } catch (const zentac::Exception& e) {
        return e.Message().Data();
    }
    return "no exception";
}

std::vector<uint8_t> greyJpeg() {
    zentac::Bitmap grey(4, 4, zentac::ArgbFormat());
    std::fill_n(reinterpret_cast<uint32_t*>(grey.Image()), 16, 0xFF808080u);
    zentac::MemoryStream stream(nullptr, 0);
    zentac::FindBitmapCodec(zentac::BitmapCodecs(), "jpg")->encode(stream, grey, 1.0f);
    return {stream.Data(), stream.Data() + stream.Size()};
}

}  // namespace

TEST(ImageCache, LoadsEachExactNameOnceAsArgb) {
    TempFolder folder;
    std::string lower = folder.write("bg.png", writeRgbPng(2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0x123456}));
    std::string upper = folder.write("BG.png", writeRgbPng(1, 1, {0xABCDEF}));
    TestPng translucent;
    translucent.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
    translucent.pixels = {0x10, 0x20, 0x30, 0x40};
    translucent.gamma = 0.5;
    std::string alpha = folder.write("alpha.png", writePng(translucent));
    std::string photo = folder.write("photo.jpg", greyJpeg());

    ImageCache cache;
    Image* image = cache.get(lower);
    ASSERT_EQ(image->getWidth(), 2);
    ASSERT_EQ(image->getHeight(), 2);
    const uint32_t* pixels = image->getPixels();
    EXPECT_EQ(pixels[0], 0xFFFF0000u) << "opaque red, top left first";
    EXPECT_EQ(pixels[1], 0xFF00FF00u);
    EXPECT_EQ(pixels[2], 0xFF0000FFu);
    EXPECT_EQ(pixels[3], 0xFF123456u);
    EXPECT_EQ(cache.get(lower), image);

    Image* other = cache.get(upper);
    EXPECT_NE(other, image) << "letter case makes another name";
    EXPECT_EQ(other->getPixels()[0], 0xFFABCDEFu);
    EXPECT_EQ(cache.get(alpha)->getPixels()[0], 0x40102030u);
    uint32_t grey = cache.get(photo)->getPixels()[5];
    EXPECT_EQ(grey >> 24, 0xFFu) << "JPEG pixels are opaque";
    EXPECT_NEAR(static_cast<int>(grey & 0xFF), 0x80, 2);

    EXPECT_EQ(&ImageCache::instance(), &ImageCache::instance());
}

TEST(ImageCache, FailuresNameTheFileAndKeepNothing) {
    TempFolder folder;
    ImageCache cache;
    std::string missing = folder / "data/missing.png";
    EXPECT_EQ(failureOf(cache, missing), "Cannot find image file: " + missing);

    std::vector<uint8_t> good = writeRgbPng(1, 1, {0x00FF00});
    std::string broken = folder.write("broken.png", std::vector<uint8_t>(good.begin(), good.end() - 30));
    EXPECT_NE(failureOf(cache, broken).find(broken), std::string::npos) << failureOf(cache, broken);

    std::string tiff = folder.write("picture.tiff", good);
    EXPECT_EQ(failureOf(cache, tiff), "Cannot find codec for extension: tiff");

    folder.write("broken.png", good);
    EXPECT_EQ(cache.get(broken)->getPixels()[0], 0xFF00FF00u) << "a failed load leaves no entry behind";
}

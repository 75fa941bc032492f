#include "engine/image/bitmap_codec_gif.h"

#include <gif_lib.h>

#include <algorithm>
#include <bitset>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/image/bitmap.h"
#include "engine/core/exception.h"
#include "engine/streams/stream.h"

namespace zentac {

namespace {

// An LZW code of n bits stands for at most 2^n pixels and n never passes
// 12, so one byte of image data paints at most 8 * 4096 / 12 pixels. A
// screen or image larger than the rest of the stream could paint is a lie.
constexpr int64_t kMaxPixelsPerByte = 2731;

constexpr int kInterlaceStart[4] = {0, 4, 2, 1};
constexpr int kInterlaceStep[4] = {8, 8, 4, 2};

// giflib reads only through this, and the stream never reads past its end.
int ReadFromStream(GifFileType* gif, GifByteType* bytes, int count) {
    if (count <= 0) return 0;
    return static_cast<Stream*>(gif->UserData)->Read(bytes, count);
}

struct GifCloser {
    void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};
using GifReader = std::unique_ptr<GifFileType, GifCloser>;

void CheckRead(int result) {
    if (result != GIF_OK) ZENTAC_THROW("Cannot read .gif stream.");
}

// Reads the records up to the first image's descriptor and returns the
// indices that the graphic-control blocks on the way make transparent.
std::bitset<PixelFormat::kPaletteSize> ReadUpToFirstImage(GifFileType* gif) {
    std::bitset<PixelFormat::kPaletteSize> transparent;
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        CheckRead(DGifGetRecordType(gif, &record));
        if (record == IMAGE_DESC_RECORD_TYPE) {
            CheckRead(DGifGetImageDesc(gif));
            return transparent;
        }
        if (record == TERMINATE_RECORD_TYPE) ZENTAC_THROW("Incorrect gif stream.");
        if (record != EXTENSION_RECORD_TYPE) ZENTAC_THROW("Cannot read .gif stream.");
        int function = 0;
        GifByteType* block = nullptr;  // its length, then its bytes
        CheckRead(DGifGetExtension(gif, &function, &block));
        if (function == GRAPHICS_EXT_FUNC_CODE && block && block[0] == 4 && (block[1] & 1)) {
            transparent.set(block[4]);
        }
        while (block) CheckRead(DGifGetExtensionNext(gif, &block));
    }
}

PixelFormat PaletteFormat(const ColorMapObject& map, const std::bitset<PixelFormat::kPaletteSize>& transparent) {
    PixelFormat format = PixelFormat::Indexed8();
    uint32_t* palette = format.Palette();
    int colours = std::min(map.ColorCount, PixelFormat::kPaletteSize);
    for (int i = 0; i < colours; ++i) {
        const GifColorType& colour = map.Colors[i];
        palette[i] = 0xFF000000u | uint32_t{colour.Red} << 16 | uint32_t{colour.Green} << 8 | colour.Blue;
    }
    for (int i = 0; i < PixelFormat::kPaletteSize; ++i) {
        if (transparent[i]) palette[i] &= 0x00FFFFFF;
    }
    return format;
}

// Decodes the image's rows in stored order into their screen rows, clipped
// to the screen. Interlaced images store every 8th row first, then the
// rows between in three more passes.
void ReadRaster(GifFileType* gif, uint8_t* screen, int screenWidth, int screenHeight) {
    const GifImageDesc& image = gif->Image;
    std::vector<GifPixelType> row(static_cast<size_t>(image.Width));
    int left = std::max(image.Left, 0);
    int right = std::min(image.Left + image.Width, screenWidth);
    int passes = image.Interlace ? 4 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        int start = image.Interlace ? kInterlaceStart[pass] : 0;
        int step = image.Interlace ? kInterlaceStep[pass] : 1;
        for (int y = start; y < image.Height; y += step) {
            CheckRead(DGifGetLine(gif, row.data(), image.Width));
            int screenY = image.Top + y;
            if (screenY >= screenHeight || left >= right) continue;
            std::memcpy(screen + static_cast<size_t>(screenY) * screenWidth + left, row.data() + (left - image.Left),
                        static_cast<size_t>(right - left));
        }
    }
}

bool DecodeGif(Bitmap& bitmap, Stream& stream) {
    GifReader gif(DGifOpen(&stream, ReadFromStream, nullptr));
    if (!gif) ZENTAC_THROW("Cannot open .gif stream.");
    std::bitset<PixelFormat::kPaletteSize> transparent = ReadUpToFirstImage(gif.get());

    const GifImageDesc& image = gif->Image;
    const ColorMapObject* map = image.ColorMap ? image.ColorMap : gif->SColorMap;
    int64_t paintable = int64_t{stream.Size() - stream.Tell()} * kMaxPixelsPerByte;
    int64_t screenPixels = int64_t{gif->SWidth} * gif->SHeight;
    int64_t imagePixels = int64_t{image.Width} * image.Height;
    if (!map || screenPixels <= 0 || imagePixels <= 0 ||
        std::max(screenPixels, imagePixels) > std::min(paintable, Bitmap::kMaxImageBytes)) {
        ZENTAC_THROW("Incorrect gif stream.");
    }

    std::unique_ptr<uint8_t[]> screen(new uint8_t[screenPixels]);
    std::memset(screen.get(), gif->SBackGroundColor, static_cast<size_t>(screenPixels));
    ReadRaster(gif.get(), screen.get(), gif->SWidth, gif->SHeight);
    bitmap.SetImage(gif->SWidth, gif->SHeight, PaletteFormat(*map, transparent), screen.get());
    screen.release();
    return true;
}

}  // namespace

BitmapCodec GifCodecInfo() { return {{"gif"}, DecodeGif, nullptr}; }

}  // namespace zentac

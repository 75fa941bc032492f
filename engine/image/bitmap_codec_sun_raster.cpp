#include "engine/image/bitmap_codec_sun_raster.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/streams/byte_io.h"
#include "engine/image/codec_formats.h"
#include "engine/image/decoded_image.h"
#include "engine/streams/whole_stream.h"

namespace zentac {

namespace {

constexpr uint32_t kMagic = 0x59A66A95;
constexpr size_t kHeaderBytes = 32;
constexpr uint32_t kByteEncoded = 2;
constexpr uint32_t kRgbOrder = 3;
constexpr uint32_t kEqualRgbMap = 1;
constexpr size_t kMaxMapBytes = 3 * PixelFormat::kPaletteSize;
constexpr uint8_t kRunMarker = 0x80;
// Three bytes of a run stand for at most 256.
constexpr int64_t kMaxExpansion = 86;

struct SunHeader {
    int64_t width;
    int64_t height;
    uint32_t depth;
    uint32_t type;
    uint32_t mapType;
    uint32_t mapLength;
};

bool ReadSunHeader(ByteReader& in, SunHeader& header) {
    uint32_t magic = in.Be32();
    header.width = static_cast<int32_t>(in.Be32());
    header.height = static_cast<int32_t>(in.Be32());
    header.depth = in.Be32();
    in.Skip(4);  // length
    header.type = in.Be32();
    header.mapType = in.Be32();
    header.mapLength = in.Be32();
    bool knownDepth = header.depth == 1 || header.depth == 8 || header.depth == 24 || header.depth == 32;
    return in.Ok() && in.Remaining() > 0 && magic == kMagic && knownDepth && header.type <= kRgbOrder;
}

// The colour map: skipped without type, split into red, green and blue
// thirds with the equal-RGB type. 8-bit images without a map are grey.
bool ReadColourMap(ByteReader& in, const SunHeader& header, PixelFormat& format) {
    if (header.mapType != kEqualRgbMap) {
        if (header.depth == 8) {
            for (uint32_t i = 0; i < PixelFormat::kPaletteSize; ++i) format.Palette()[i] = 0xFF000000 | i * 0x010101;
        }
        return header.mapType == 0 && in.Skip(header.mapLength);
    }
    if (header.depth != 8 || header.mapLength > kMaxMapBytes) return false;
    size_t count = header.mapLength / 3;
    const uint8_t* red = in.Take(header.mapLength);
    if (!red) return false;
    const uint8_t* green = red + count;
    const uint8_t* blue = green + count;
    for (size_t i = 0; i < count; ++i) {
        format.Palette()[i] = 0xFF000000 | uint32_t{red[i]} << 16 | uint32_t{green[i]} << 8 | blue[i];
    }
    return true;
}

const PixelFormat& SunFormat(uint32_t depth) {
    switch (depth) {
        case 1: return Intensity8Format();
        case 24: return Rgb888Format();
        default: return ArgbFormat();
    }
}

// 0x80 0 is one 0x80, 0x80 n v is n + 1 copies of v, anything else is
// itself. False when the data ends before the raster is full.
bool ExpandRuns(ByteReader& in, std::vector<uint8_t>& raster) {
    size_t filled = 0;
    while (filled < raster.size()) {
        uint8_t code = in.U8();
        size_t count = 1;
        uint8_t value = code;
        if (code == kRunMarker) {
            uint8_t repeats = in.U8();
            if (repeats > 0) {
                count = repeats + 1u;
                value = in.U8();
            }
        }
        if (!in.Ok()) return false;
        count = std::min(count, raster.size() - filled);
        std::memset(raster.data() + filled, value, count);
        filled += count;
    }
    return true;
}

// One stored row into an image row. Rows of 32-bit pixels hold X, B, G, R
// (or X, R, G, B in RGB order), and X is the alpha.
void ConvertRow(const SunHeader& header, const uint8_t* in, uint8_t* out) {
    bool rgbOrder = header.type == kRgbOrder;
    switch (header.depth) {
        case 1:
            for (int64_t x = 0; x < header.width; ++x) out[x] = (in[x / 8] & (0x80 >> (x % 8))) ? 0 : 0xFF;
            break;
        case 8: std::memcpy(out, in, static_cast<size_t>(header.width)); break;
        case 24:
            for (int64_t x = 0; x < header.width; ++x, in += 3, out += 3) {
                out[0] = in[rgbOrder ? 2 : 0];
                out[1] = in[1];
                out[2] = in[rgbOrder ? 0 : 2];
            }
            break;
        default:
            for (int64_t x = 0; x < header.width; ++x, in += 4, out += 4) {
                out[0] = in[rgbOrder ? 3 : 1];
                out[1] = in[2];
                out[2] = in[rgbOrder ? 1 : 3];
                out[3] = in[0];
            }
    }
}

bool DecodeSunRaster(Bitmap& bitmap, Stream& stream) {
    std::vector<uint8_t> data = ReadWholeStream(stream);
    ByteReader in(data);
    SunHeader header;
    if (!ReadSunHeader(in, header) || header.width < 1 || header.height < 1) return false;
    if (header.type == kByteEncoded && header.depth == 1) return false;
    PixelFormat format = header.depth == 8 ? PixelFormat::Indexed8() : SunFormat(header.depth);
    if (!ReadColourMap(in, header, format)) return false;

    // Stored rows are padded to 16 bits.
    int64_t rowBytes = (header.width * header.depth + 15) / 16 * 2;
    int64_t rasterLimit = static_cast<int64_t>(in.Remaining()) * (header.type == kByteEncoded ? kMaxExpansion : 1);
    if (rowBytes > rasterLimit / header.height) return false;
    size_t rasterBytes = static_cast<size_t>(rowBytes * header.height);
    std::vector<uint8_t> expanded;
    const uint8_t* raster = nullptr;
    if (header.type == kByteEncoded) {
        expanded.resize(rasterBytes);
        if (!ExpandRuns(in, expanded)) return false;
        raster = expanded.data();
    } else {
        raster = in.Take(rasterBytes);
    }
    DecodedImage image;
    if (!raster || !image.Allocate(header.width, header.height, format)) return false;
    for (int y = 0; y < image.Height(); ++y) ConvertRow(header, raster + y * rowBytes, image.Row(y));
    image.HandTo(bitmap);
    return true;
}

}  // namespace

BitmapCodec SunRasterCodecInfo() { return {{"ras", "sun"}, DecodeSunRaster, nullptr}; }

}  // namespace zentac

#include "engine/image/bitmap_codec_pcx.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/streams/byte_io.h"
#include "engine/image/codec_formats.h"
#include "engine/image/decoded_image.h"
#include "engine/streams/whole_stream.h"

namespace zentac {

namespace {

constexpr size_t kHeaderBytes = 128;
constexpr uint8_t kManufacturer = 10;
constexpr uint8_t kRunMarker = 0xC0;
// A run of two bytes stands for at most 63 bytes.
constexpr int64_t kMaxExpansion = 32;

// Decodes the run-length stream; a run may go on into the next line.
class PcxRuns {
public:
    explicit PcxRuns(ByteReader& in) : in_(in) {}

    // False when the data ends before count bytes are out.
    bool Fill(uint8_t* out, size_t count) {
        while (count > 0) {
            if (left_ == 0) {
                uint8_t code = in_.U8();
                left_ = code >= kRunMarker ? code & 0x3Fu : 1;
                value_ = code >= kRunMarker ? in_.U8() : code;
                if (!in_.Ok()) return false;
                continue;
            }
            size_t bytes = std::min(left_, count);
            std::memset(out, value_, bytes);
            out += bytes;
            count -= bytes;
            left_ -= bytes;
        }
        return true;
    }

private:
    ByteReader& in_;
    size_t left_ = 0;
    uint8_t value_ = 0;
};

// The 256 colours behind the image data, after their marker byte.
bool ReadPalette(ByteReader& in, PixelFormat& format) {
    in.Skip(1);
    const uint8_t* entries = in.Take(3 * PixelFormat::kPaletteSize);
    if (!entries) return false;
    uint32_t* palette = format.Palette();
    for (int i = 0; i < PixelFormat::kPaletteSize; ++i, entries += 3) {
        palette[i] = 0xFF000000 | uint32_t{entries[0]} << 16 | uint32_t{entries[1]} << 8 | entries[2];
    }
    return true;
}

bool DecodePcx(Bitmap& bitmap, Stream& stream) {
    std::vector<uint8_t> data = ReadWholeStream(stream);
    ByteReader in(data);
    const uint8_t* header = in.Take(kHeaderBytes);
    if (!header || header[0] != kManufacturer || header[3] != 8) return false;
    int planes = header[65];
    if (planes != 1 && planes != 3) return false;
    int64_t width = int64_t{LoadLe16(header + 8)} - LoadLe16(header + 4) + 1;
    int64_t height = int64_t{LoadLe16(header + 10)} - LoadLe16(header + 6) + 1;
    // Each plane's line holds bytesPerLine bytes, mostly the width rounded
    // up to even; the bytes behind the width are dropped.
    size_t lineBytes = LoadLe16(header + 66);
    if (static_cast<int64_t>(lineBytes) < width) return false;
    bool indexed = planes == 1;

    DecodedImage image;
    int64_t byteLimit = static_cast<int64_t>(in.Remaining()) * kMaxExpansion;
    if (!image.Allocate(width, height, indexed ? PixelFormat::Indexed8() : Rgb888Format(), byteLimit)) return false;
    std::vector<uint8_t> line(lineBytes * planes);
    PcxRuns runs(in);
    for (int y = 0; y < image.Height(); ++y) {
        if (!runs.Fill(line.data(), line.size())) return false;
        uint8_t* out = image.Row(y);
        if (indexed) {
            std::memcpy(out, line.data(), static_cast<size_t>(width));
            continue;
        }
        const uint8_t* red = line.data();
        const uint8_t* green = red + lineBytes;
        const uint8_t* blue = green + lineBytes;
        for (int64_t x = 0; x < width; ++x, out += 3) {
            out[0] = blue[x];
            out[1] = green[x];
            out[2] = red[x];
        }
    }
    if (indexed && !ReadPalette(in, image.Format())) return false;
    image.HandTo(bitmap);
    return true;
}

}  // namespace

BitmapCodec PcxCodecInfo() { return {{"pcx"}, DecodePcx, nullptr}; }

}  // namespace zentac

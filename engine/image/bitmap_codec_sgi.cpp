#include "engine/image/bitmap_codec_sgi.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/streams/byte_io.h"
#include "engine/image/codec_formats.h"
#include "engine/image/decoded_image.h"
#include "engine/streams/whole_stream.h"

namespace zentac {

namespace {

constexpr uint16_t kMagic = 474;
constexpr size_t kHeaderBytes = 512;

struct SgiHeader {
    bool runLength;
    int width;
    int height;
    int channels;
};

bool ReadSgiHeader(ByteReader& in, SgiHeader& header) {
    uint16_t magic = in.Be16();
    header.runLength = in.U8() != 0;
    uint8_t bytesPerChannel = in.U8();
    uint16_t dimension = in.Be16();
    header.width = in.Be16();
    header.height = in.Be16();
    header.channels = in.Be16();
    in.Skip(4 + 4 + 4 + 80);  // pixel range, reserved, name
    uint32_t colourMap = in.Be32();
    if (!in.Ok() || magic != kMagic || bytesPerChannel != 1 || colourMap != 0) return false;
    switch (dimension) {
        case 1: header.height = 1; [[fallthrough]];
        case 2: header.channels = 1; return true;
        case 3: return header.channels == 3 || header.channels == 4;
        default: return false;
    }
}

const PixelFormat& SgiFormat(int channels) {
    if (channels == 1) return Intensity8Format();
    if (channels == 3) return Rgb888Format();
    return ArgbFormat();
}

// Where a channel goes in the pixel: red, green, blue, alpha come in this
// order and sit in bytes 2, 1, 0, 3; a lone grey channel in byte 0.
int ChannelByte(int channels, int channel) {
    if (channels == 1) return 0;
    return channel < 3 ? 2 - channel : 3;
}

// One channel row into every channels-th byte of out.
void ScatterRow(const uint8_t* row, int width, int channels, uint8_t* out) {
    for (int x = 0; x < width; ++x, out += channels) *out = row[x];
}

// One run-length encoded channel row; a row whose runs pass its end is cut
// there, one that stops short leaves the rest 0. False when the data ends
// first.
bool ExpandRow(ByteReader in, int width, int channels, uint8_t* out) {
    int x = 0;
    while (x < width) {
        uint8_t code = in.U8();
        int count = std::min(code & 0x7F, width - x);
        if (!in.Ok()) return false;
        if (count == 0) return true;
        if (code & 0x80) {
            const uint8_t* literal = in.Take(code & 0x7Fu);
            if (!literal) return false;
            ScatterRow(literal, count, channels, out + x * channels);
        } else {
            uint8_t value = in.U8();
            if (!in.Ok()) return false;
            for (int i = 0; i < count; ++i) out[(x + i) * channels] = value;
        }
        x += count;
    }
    return true;
}

bool DecodeSgi(Bitmap& bitmap, Stream& stream) {
    std::vector<uint8_t> data = ReadWholeStream(stream);
    ByteReader in(data);
    SgiHeader header;
    if (!ReadSgiHeader(in, header) || !in.Seek(kHeaderBytes)) return false;
    size_t channelRows = size_t{static_cast<unsigned>(header.height)} * static_cast<unsigned>(header.channels);
    // Verbatim files hold every row; compressed ones a start for every row.
    size_t storedBytes = header.runLength ? channelRows * 4 : channelRows * static_cast<unsigned>(header.width);
    const uint8_t* stored = in.Take(storedBytes);
    // Compressed rows may all point at one run, so their bytes bound nothing.
    int64_t byteLimit = header.runLength ? SparsePixelLimit(in.Size() - kHeaderBytes) * header.channels
                                         : Bitmap::kMaxImageBytes;
    DecodedImage image;
    if (!stored || !image.Allocate(header.width, header.height, SgiFormat(header.channels), byteLimit)) return false;

    for (int channel = 0; channel < header.channels; ++channel) {
        for (int row = 0; row < header.height; ++row) {
            // The file's first row is the bottom one.
            uint8_t* out = image.Row(header.height - 1 - row) + ChannelByte(header.channels, channel);
            size_t index = size_t{static_cast<unsigned>(channel)} * static_cast<unsigned>(header.height) +
                           static_cast<unsigned>(row);
            if (!header.runLength) {
                ScatterRow(stored + index * static_cast<unsigned>(header.width), header.width, header.channels, out);
                continue;
            }
            ByteReader rowData(data);
            if (!rowData.Seek(LoadBe32(stored + 4 * index)) ||
                !ExpandRow(rowData, header.width, header.channels, out)) {
                return false;
            }
        }
    }
    image.HandTo(bitmap);
    return true;
}

}  // namespace

BitmapCodec SgiCodecInfo() { return {{"rgb", "rgba", "bw", "sgi"}, DecodeSgi, nullptr}; }

}  // namespace zentac

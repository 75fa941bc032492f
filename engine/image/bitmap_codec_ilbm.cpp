#include "engine/image/bitmap_codec_ilbm.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/streams/byte_io.h"
#include "engine/image/codec_formats.h"
#include "engine/image/decoded_image.h"
#include "engine/streams/whole_stream.h"

namespace zentac {

namespace {

constexpr uint32_t ChunkId(const char (&id)[5]) {
    return uint32_t{static_cast<uint8_t>(id[0])} << 24 | uint32_t{static_cast<uint8_t>(id[1])} << 16 |
           uint32_t{static_cast<uint8_t>(id[2])} << 8 | uint32_t{static_cast<uint8_t>(id[3])};
}

constexpr size_t kBitmapHeaderBytes = 20;
constexpr uint32_t kHamMode = 0x800;
constexpr uint32_t kHalfBriteMode = 0x80;
constexpr uint8_t kMaskPlane = 1;
constexpr int kMaxPlanes = 32;
constexpr size_t kHalfBriteColours = 32;
// A ByteRun1 run of two bytes gives at most 129.
constexpr size_t kMaxRunBytes = 129;

struct Chunk {
    const uint8_t* data = nullptr;
    size_t size = 0;
};

struct IlbmFile {
    bool chunky = false;  // PBM: one byte per pixel
    Chunk header;
    Chunk colours;
    Chunk displayMode;
    Chunk body;
};

// The FORM and the chunks the decoder uses; false when it is no picture
// form or a chunk runs past the end of the data.
bool ReadChunks(ByteReader& in, IlbmFile& file) {
    uint32_t form = in.Be32();
    in.Skip(4);  // length: the chunks are read to the end of the data
    uint32_t type = in.Be32();
    if (!in.Ok() || form != ChunkId("FORM") || (type != ChunkId("ILBM") && type != ChunkId("PBM "))) return false;
    file.chunky = type == ChunkId("PBM ");
    while (in.Remaining() >= 8) {
        uint32_t id = in.Be32();
        uint32_t size = in.Be32();
        const uint8_t* data = in.Take(size);
        if (!data) return false;
        if (size % 2 && in.Remaining() > 0) in.Skip(1);
        Chunk chunk{data, size};
        if (id == ChunkId("BMHD")) file.header = chunk;
        if (id == ChunkId("CMAP")) file.colours = chunk;
        if (id == ChunkId("CAMG")) file.displayMode = chunk;
        if (id == ChunkId("BODY")) file.body = chunk;
    }
    return file.header.size >= kBitmapHeaderBytes && file.body.data;
}

struct BitmapHeader {
    int width;
    int height;
    int planes;
    bool masked;
    bool compressed;
    bool ham;
    bool halfBrite;
    size_t planeRowBytes;
    size_t rowBytes;  // of the body
};

bool ReadBitmapHeader(const IlbmFile& file, BitmapHeader& header) {
    const uint8_t* bmhd = file.header.data;
    header.width = LoadBe16(bmhd);
    header.height = LoadBe16(bmhd + 2);
    header.planes = bmhd[8];
    header.masked = bmhd[9] == kMaskPlane;
    uint8_t compression = bmhd[10];
    header.compressed = compression == 1;
    uint32_t mode = file.displayMode.size >= 4 ? LoadBe32(file.displayMode.data) : 0;
    header.ham = (mode & kHamMode) != 0;
    header.halfBrite = (mode & kHalfBriteMode) != 0;
    header.planeRowBytes = (static_cast<size_t>(header.width) + 15) / 16 * 2;
    // Chunky rows are padded to an even length; planar rows hold each
    // plane's row, then the mask's.
    header.rowBytes = file.chunky ? (static_cast<size_t>(header.width) + 1) / 2 * 2
                                  : header.planeRowBytes * static_cast<size_t>(header.planes + header.masked);
    if (compression > 1 || header.planes < 1 || header.planes > kMaxPlanes) return false;
    if (header.ham) return !file.chunky && (header.planes == 6 || header.planes == 8);
    return !file.chunky || header.planes == 8;
}

// ByteRun1: n >= 0 copies the next n + 1 bytes, n < 0 repeats the next
// byte 1 - n times. Runs are cut at the end of the output. False when the
// data ends first.
bool ExpandByteRun1(const Chunk& chunk, std::vector<uint8_t>& out) {
    ByteReader in(chunk.data, chunk.size);
    size_t filled = 0;
    while (filled < out.size()) {
        int8_t control = static_cast<int8_t>(in.U8());
        size_t count = static_cast<size_t>(control >= 0 ? control + 1 : 1 - control);
        const uint8_t* bytes = in.Take(control >= 0 ? count : 1);
        if (!bytes) return false;
        count = std::min(count, out.size() - filled);
        if (control >= 0) {
            std::memcpy(out.data() + filled, bytes, count);
        } else {
            std::memset(out.data() + filled, bytes[0], count);
        }
        filled += count;
    }
    return true;
}

// The body's bytes, expanded when compressed; null when the chunk holds
// fewer than the picture needs.
const uint8_t* ReadBody(const IlbmFile& file, const BitmapHeader& header, std::vector<uint8_t>& expanded) {
    size_t bytes = header.rowBytes * static_cast<size_t>(header.height);
    if (!header.compressed) return file.body.size >= bytes ? file.body.data : nullptr;
    if (bytes > (file.body.size / 2 + 1) * kMaxRunBytes) return nullptr;
    expanded.resize(bytes);
    return ExpandByteRun1(file.body, expanded) ? expanded.data() : nullptr;
}

std::vector<uint32_t> ReadColours(const Chunk& chunk) {
    std::vector<uint32_t> colours(chunk.size / 3);
    for (size_t i = 0; i < colours.size(); ++i) {
        const uint8_t* rgb = chunk.data + 3 * i;
        colours[i] = 0xFF000000 | uint32_t{rgb[0]} << 16 | uint32_t{rgb[1]} << 8 | rgb[2];
    }
    return colours;
}

void FillPalette(const std::vector<uint32_t>& colours, bool halfBrite, uint32_t* palette) {
    size_t count = std::min<size_t>(colours.size(), PixelFormat::kPaletteSize);
    std::copy_n(colours.begin(), count, palette);
    if (!halfBrite || colours.size() != kHalfBriteColours) return;
    for (size_t i = 0; i < kHalfBriteColours; ++i) {
        palette[kHalfBriteColours + i] = 0xFF000000 | (colours[i] >> 1 & 0x7F7F7F);
    }
}

const PixelFormat& PlanarFormat(int planes) {
    switch ((planes + 7) / 8) {
        case 2: return Rgb565Format();
        case 3: return Rgb888Format();
        default: return ArgbFormat();
    }
}

// Pixel x's value: bit p from plane p.
uint32_t PlanarValue(const uint8_t* row, const BitmapHeader& header, int x) {
    uint32_t value = 0;
    const uint8_t* plane = row + x / 8;
    for (int p = 0; p < header.planes; ++p, plane += header.planeRowBytes) {
        value |= uint32_t{(*plane >> (7 - x % 8)) & 1u} << p;
    }
    return value;
}

// Planes 0 to 7 go to the byte that holds red in RGB888 and ARGB8888,
// 8 to 15 to green, 16 to 23 to blue and 24 to 31 to alpha; 16-bit pixels
// store the high byte first.
void DecodePlanar(const uint8_t* body, const BitmapHeader& header, DecodedImage& image) {
    int pixelBytes = image.Format().BytesPerPixel();
    for (int y = 0; y < header.height; ++y, body += header.rowBytes) {
        uint8_t* out = image.Row(y);
        for (int x = 0; x < header.width; ++x, out += pixelBytes) {
            uint32_t v = PlanarValue(body, header, x);
            switch (pixelBytes) {
                case 1: out[0] = static_cast<uint8_t>(v); break;
                case 2: StoreLe16(out, (v & 0xFF) << 8 | (v >> 8 & 0xFF)); break;
                case 3:
                    out[0] = static_cast<uint8_t>(v >> 16);
                    out[1] = static_cast<uint8_t>(v >> 8);
                    out[2] = static_cast<uint8_t>(v);
                    break;
                default: StoreLe32(out, (v & 0xFF000000) | (v & 0xFF) << 16 | (v & 0xFF00) | (v >> 16 & 0xFF));
            }
        }
    }
}

// Hold-and-modify: the top two planes say whether the low ones pick a
// colour of the map or replace one channel of the pixel to the left.
void DecodeHam(const uint8_t* body, const BitmapHeader& header, const std::vector<uint32_t>& colours,
               DecodedImage& image) {
    int valueBits = header.planes - 2;
    int shift = 8 - valueBits;
    uint32_t valueMask = (1u << valueBits) - 1;
    for (int y = 0; y < header.height; ++y, body += header.rowBytes) {
        uint8_t* out = image.Row(y);
        uint32_t red = 0;
        uint32_t green = 0;
        uint32_t blue = 0;
        for (int x = 0; x < header.width; ++x, out += 3) {
            uint32_t v = PlanarValue(body, header, x);
            uint32_t d = v & valueMask;
            switch (v >> valueBits) {
                case 0: {
                    uint32_t colour = d < colours.size() ? colours[d] : 0;
                    red = colour >> 16 & 0xFF;
                    green = colour >> 8 & 0xFF;
                    blue = colour & 0xFF;
                    break;
                }
                case 1: blue = d << shift; break;
                case 2: red = d << shift; break;
                default: green = d << shift;
            }
            out[0] = static_cast<uint8_t>(blue);
            out[1] = static_cast<uint8_t>(green);
            out[2] = static_cast<uint8_t>(red);
        }
    }
}

bool DecodeIlbm(Bitmap& bitmap, Stream& stream) {
    std::vector<uint8_t> data = ReadWholeStream(stream);
    ByteReader in(data);
    IlbmFile file;
    BitmapHeader header;
    if (!ReadChunks(in, file) || !ReadBitmapHeader(file, header)) return false;
    std::vector<uint8_t> expanded;
    const uint8_t* body = ReadBody(file, header, expanded);
    std::vector<uint32_t> colours = ReadColours(file.colours);
    bool indexed = !header.ham && header.planes <= 8;
    PixelFormat format = indexed ? PixelFormat::Indexed8() : header.ham ? Rgb888Format() : PlanarFormat(header.planes);
    if (indexed) FillPalette(colours, header.halfBrite, format.Palette());
    DecodedImage image;
    if (!body || !image.Allocate(header.width, header.height, format)) return false;

    if (header.ham) {
        DecodeHam(body, header, colours, image);
    } else if (file.chunky) {
        for (int y = 0; y < header.height; ++y) {
            std::memcpy(image.Row(y), body + header.rowBytes * static_cast<size_t>(y), image.Pitch());
        }
    } else {
        DecodePlanar(body, header, image);
    }
    image.HandTo(bitmap);
    return true;
}

}  // namespace

BitmapCodec IlbmCodecInfo() { return {{"iff", "lbm", "ham", "ham8", "ilbm", "ehb"}, DecodeIlbm, nullptr}; }

}  // namespace zentac

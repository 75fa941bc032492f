#include "engine/image/bitmap_codec_tga.h"

#include <algorithm>
#include <cstring>

#include "engine/image/blitter.h"
#include "engine/streams/byte_io.h"
#include "engine/image/codec_formats.h"
#include "engine/image/decoded_image.h"
#include "engine/streams/whole_stream.h"

namespace zentac {

namespace {

constexpr uint8_t kTopRowFirst = 0x20;
constexpr int kMaxRunPixels = 128;
constexpr int kMapEntryBytes = 3;

struct TgaHeader {
    uint8_t idLength;
    uint8_t imageType;
    uint16_t mapLength;
    uint8_t mapEntryBits;
    uint16_t width;
    uint16_t height;
    uint8_t depth;
    uint8_t descriptor;
    bool colourMapped;
    bool runLength;
};

// False for a header of a kind this codec does not read.
bool ReadTgaHeader(ByteReader& in, TgaHeader& header) {
    header.idLength = in.U8();
    uint8_t mapType = in.U8();
    header.imageType = in.U8();
    in.Skip(2);  // first map entry
    header.mapLength = in.Le16();
    header.mapEntryBits = in.U8();
    in.Skip(4);  // origin
    header.width = in.Le16();
    header.height = in.Le16();
    header.depth = in.U8();
    header.descriptor = in.U8();
    if (!in.Ok() || mapType > 1) return false;
    header.colourMapped = header.imageType == 1 || header.imageType == 9;
    header.runLength = header.imageType == 9 || header.imageType == 10;
    if (header.colourMapped) {
        return header.depth == 8 && header.mapEntryBits == 24 && header.mapLength <= PixelFormat::kPaletteSize;
    }
    bool trueColour = header.imageType == 2 || header.imageType == 10;
    return trueColour && (header.depth == 16 || header.depth == 24 || header.depth == 32);
}

// The colour map of a colour-mapped image, or the skipped map of a true
// colour one; false when the file ends inside it.
bool ReadColourMap(ByteReader& in, const TgaHeader& header, PixelFormat& format) {
    if (!header.colourMapped) {
        return in.Skip(size_t{(header.mapEntryBits + 1u) / 8u} * header.mapLength);
    }
    const uint8_t* entries = in.Take(size_t{header.mapLength} * kMapEntryBytes);
    if (!entries) return false;
    uint32_t* palette = format.Palette();
    for (int i = 0; i < header.mapLength; ++i, entries += kMapEntryBytes) {
        palette[i] = 0xFF000000 | uint32_t{entries[2]} << 16 | uint32_t{entries[1]} << 8 | entries[0];
    }
    return true;
}

// Walks the image rows in the order the file stores them.
class TgaRows {
public:
    TgaRows(DecodedImage& image, bool topRowFirst) : image_(image), topRowFirst_(topRowFirst) {}

    bool Done() const { return row_ == image_.Height(); }
    uint8_t* Current() {
        return image_.Row(topRowFirst_ ? row_ : image_.Height() - 1 - row_);
    }
    void Next() { ++row_; }

private:
    DecodedImage& image_;
    bool topRowFirst_;
    int row_ = 0;
};

bool ReadPlainPixels(ByteReader& in, DecodedImage& image, TgaRows& rows) {
    for (; !rows.Done(); rows.Next()) {
        const uint8_t* row = in.Take(image.Pitch());
        if (!row) return false;
        std::memcpy(rows.Current(), row, image.Pitch());
    }
    return true;
}

// Packets run on across row ends; what is left of a packet when the last
// row is full is dropped.
bool ReadRunLengthPixels(ByteReader& in, DecodedImage& image, TgaRows& rows) {
    size_t pixelBytes = static_cast<size_t>(image.Format().BytesPerPixel());
    size_t filled = 0;
    while (!rows.Done()) {
        uint8_t packet = in.U8();
        size_t count = (packet & 0x7Fu) + 1;
        const uint8_t* values = in.Take(packet & 0x80 ? pixelBytes : count * pixelBytes);
        if (!values) return false;
        while (count > 0 && !rows.Done()) {
            size_t pixels = std::min(count, (image.Pitch() - filled) / pixelBytes);
            uint8_t* out = rows.Current() + filled;
            if (packet & 0x80) {
                for (size_t i = 0; i < pixels; ++i, out += pixelBytes) std::memcpy(out, values, pixelBytes);
            } else {
                std::memcpy(out, values, pixels * pixelBytes);
                values += pixels * pixelBytes;
            }
            count -= pixels;
            filled += pixels * pixelBytes;
            if (filled == image.Pitch()) {
                filled = 0;
                rows.Next();
            }
        }
    }
    return true;
}

const PixelFormat& TrueColourFormat(int depth) {
    if (depth == 16) return Argb1555Format();
    if (depth == 24) return Rgb888Format();
    return ArgbFormat();
}

bool DecodeTga(Bitmap& bitmap, Stream& stream) {
    std::vector<uint8_t> data = ReadWholeStream(stream);
    ByteReader in(data);
    TgaHeader header;
    if (!ReadTgaHeader(in, header) || !in.Skip(header.idLength)) return false;
    PixelFormat format = header.colourMapped ? PixelFormat::Indexed8() : TrueColourFormat(header.depth);
    if (!ReadColourMap(in, header, format)) return false;

    int64_t pixelBytes = header.depth / 8;
    // A packet of one pixel value stands for at most 128 pixels.
    int64_t byteLimit = header.runLength
                            ? (static_cast<int64_t>(in.Remaining()) / (1 + pixelBytes) + 1) * kMaxRunPixels * pixelBytes
                            : static_cast<int64_t>(in.Remaining());
    DecodedImage image;
    if (!image.Allocate(header.width, header.height, format, byteLimit)) return false;
    TgaRows rows(image, (header.descriptor & kTopRowFirst) != 0);
    bool read = header.runLength ? ReadRunLengthPixels(in, image, rows) : ReadPlainPixels(in, image, rows);
    if (!read) return false;
    image.HandTo(bitmap);
    return true;
}

// The format a bitmap is written in; null when TGA has no such depth.
const PixelFormat* EncodedFormat(const PixelFormat& format) {
    if (format.Has(kPixelIndexed)) return format.HasPalette() && format.BitsPerPixel() == 8 ? &format : nullptr;
    if (format.Has(kPixelIntensity)) return &Rgb888Format();
    switch (format.BitsPerPixel()) {
        case 8:
        case 16: return &Argb1555Format();
        case 24: return &Rgb888Format();
        case 32: return &ArgbFormat();
        default: return nullptr;
    }
}

bool EncodeTga(Stream& stream, const Bitmap& bitmap, float) {
    const PixelFormat* target = EncodedFormat(bitmap.Format());
    // The header holds 16-bit sizes: larger images cannot be written.
    if (!target || !bitmap.Image() || bitmap.Width() > 0xFFFF || bitmap.Height() > 0xFFFF) return false;
    Bitmap converted(bitmap.Width(), bitmap.Height(), *target);
    if (!Blit(converted, bitmap, kBlitCopy)) return false;

    bool indexed = target->Has(kPixelIndexed);
    int depth = target->BitsPerPixel();
    ByteWriter file;
    file.U8(0);
    file.U8(indexed ? 1 : 0);
    file.U8(indexed ? 1 : 2);
    file.Le16(0);
    file.Le16(indexed ? PixelFormat::kPaletteSize : 0);
    file.U8(indexed ? 24 : 0);
    file.Le32(0);
    file.Le16(static_cast<uint32_t>(bitmap.Width()));
    file.Le16(static_cast<uint32_t>(bitmap.Height()));
    file.U8(static_cast<uint32_t>(depth));
    file.U8(depth == 32 ? kTopRowFirst | 8 : kTopRowFirst);
    if (indexed) {
        const uint32_t* palette = target->Palette();
        for (int i = 0; i < PixelFormat::kPaletteSize; ++i) {
            file.U8(palette[i]);
            file.U8(palette[i] >> 8);
            file.U8(palette[i] >> 16);
        }
    }
    file.Append(converted.Image(), static_cast<size_t>(converted.Pitch()) * converted.Height());
    return file.WriteTo(stream);
}

}  // namespace

BitmapCodec TgaCodecInfo() { return {{"tga"}, DecodeTga, EncodeTga}; }

}  // namespace zentac

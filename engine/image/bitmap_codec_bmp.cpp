#include "engine/image/bitmap_codec_bmp.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/image/blitter.h"
#include "engine/streams/byte_io.h"
#include "engine/image/codec_formats.h"
#include "engine/image/decoded_image.h"
#include "engine/streams/whole_stream.h"

namespace zentac {

namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr uint32_t kInfoHeaderBytes = 40;
constexpr uint32_t kMaskedInfoHeaderBytes = 56;
constexpr uint32_t kPlain = 0;
constexpr uint32_t kRle8 = 1;
constexpr uint32_t kRle4 = 2;
constexpr uint32_t kBitFields = 3;

struct BmpHeader {
    uint32_t dataOffset;
    uint32_t infoSize;
    int64_t width;
    int64_t height;
    bool topDown;
    int bits;
    uint32_t compression;
    uint32_t coloursUsed;
    size_t paletteEntryBytes;
};

bool ReadBmpHeader(ByteReader& in, BmpHeader& header) {
    if (in.U8() != 'B' || in.U8() != 'M') return false;
    in.Skip(8);  // file size, reserved
    header.dataOffset = in.Le32();
    header.infoSize = in.Le32();
    header.compression = kPlain;
    header.coloursUsed = 0;
    if (header.infoSize == kInfoHeaderBytes || header.infoSize == kMaskedInfoHeaderBytes) {
        header.width = static_cast<int32_t>(in.Le32());
        header.height = static_cast<int32_t>(in.Le32());
        in.Skip(2);  // planes
        header.bits = in.Le16();
        header.compression = in.Le32();
        in.Skip(12);  // image size, resolution
        header.coloursUsed = in.Le32();
        header.paletteEntryBytes = 4;
    } else if (header.infoSize == 12 || header.infoSize == 240) {
        header.width = static_cast<int16_t>(in.Le16());
        header.height = static_cast<int16_t>(in.Le16());
        in.Skip(2);  // planes
        header.bits = in.Le16();
        header.paletteEntryBytes = 3;
    } else {
        return false;
    }
    if (!in.Ok() || header.width <= 0 || header.height == 0) return false;
    header.topDown = header.height < 0;
    header.height = header.height < 0 ? -header.height : header.height;
    bool runLength = header.compression == kRle8 || header.compression == kRle4;
    if (runLength) return header.bits == 8 || header.bits == 4;
    return header.compression == kPlain || header.compression == kBitFields;
}

// The colours in front of the pixel data. The fourth byte of an entry is
// reserved and mostly 0; only a palette that uses it somewhere has alpha.
bool ReadPalette(ByteReader& in, const BmpHeader& header, PixelFormat& format) {
    uint32_t count = 1u << header.bits;
    if (header.coloursUsed > 0) count = std::min(count, header.coloursUsed);
    if (!in.Seek(kFileHeaderBytes + header.infoSize)) return false;
    const uint8_t* entries = in.Take(count * header.paletteEntryBytes);
    if (!entries) return false;
    uint32_t* palette = format.Palette();
    bool alphaUsed = false;
    for (uint32_t i = 0; i < count; ++i, entries += header.paletteEntryBytes) {
        uint32_t alpha = header.paletteEntryBytes == 4 ? entries[3] : 0;
        alphaUsed |= alpha != 0;
        palette[i] = alpha << 24 | uint32_t{entries[2]} << 16 | uint32_t{entries[1]} << 8 | entries[0];
    }
    if (!alphaUsed) {
        for (uint32_t i = 0; i < count; ++i) palette[i] |= 0xFF000000;
    }
    return true;
}

// With the 56-byte header, or bit fields, 16- and 32-bit pixels take their
// channels from masks.
bool HasMasks(const BmpHeader& header) {
    return (header.bits == 16 || header.bits == 32) &&
           (header.infoSize == kMaskedInfoHeaderBytes || header.compression == kBitFields);
}

// True for a mask of one unbroken run of bits.
bool IsOneRun(uint32_t mask) {
    if (mask == 0) return false;
    uint32_t run = mask >> std::countr_zero(mask);
    return (run & (run + 1)) == 0;
}

// Bit fields leave the bits no colour uses to alpha, when they form one
// channel: gaps between colour masks are padding, and such files are opaque.
uint32_t UnusedBitsAsAlpha(uint32_t red, uint32_t green, uint32_t blue, uint32_t pixelBits) {
    uint32_t unused = ~(red | green | blue) & pixelBits;
    return IsOneRun(unused) ? unused : 0;
}

// The masks behind the first 40 bytes of the info header. Bits outside the
// pixel are dropped.
void ReadMasks(ByteReader& in, const BmpHeader& header, PixelFormat& format) {
    uint32_t pixelBits = header.bits == 32 ? 0xFFFFFFFF : 0xFFFF;
    in.Seek(kFileHeaderBytes + kInfoHeaderBytes);
    uint32_t red = in.Le32() & pixelBits;
    uint32_t green = in.Le32() & pixelBits;
    uint32_t blue = in.Le32() & pixelBits;
    uint32_t alpha = header.infoSize == kMaskedInfoHeaderBytes ? in.Le32()
                                                               : UnusedBitsAsAlpha(red, green, blue, pixelBits);
    // Files that fill in no colour mask mean the usual layout.
    if (!in.Ok() || (red | green | blue) == 0) return;
    format = PixelFormat(header.bits, red, green, blue, alpha & pixelBits, kPixelInteger);
}

bool ChooseFormat(ByteReader& in, const BmpHeader& header, PixelFormat& format) {
    switch (header.bits) {
        case 1:
        case 4:
        case 8: format = PixelFormat::Indexed8(); return ReadPalette(in, header, format);
        case 16: format = Rgb555Format(); break;
        case 24: format = Rgb888Format(); break;
        case 32: format = ArgbFormat(); break;
        default: return false;
    }
    if (HasMasks(header)) ReadMasks(in, header, format);
    return true;
}

int ImageRow(const BmpHeader& header, int64_t fileRow) {
    return static_cast<int>(header.topDown ? fileRow : header.height - 1 - fileRow);
}

// Alpha that the file has no explicit mask for is only meant when some
// pixel sets it: a picture with none set is opaque, not invisible.
void MakeOpaqueWhenAlphaUnused(DecodedImage& image) {
    uint32_t alpha = image.Format().alphaMask;
    int pixelBytes = image.Format().BytesPerPixel();
    if (alpha == 0 || (pixelBytes != 2 && pixelBytes != 4)) return;
    uint8_t* pixels = image.Pixels();
    size_t bytes = image.Bytes();
    auto load = [&](size_t at) { return pixelBytes == 4 ? LoadLe32(pixels + at) : LoadLe16(pixels + at); };
    for (size_t at = 0; at < bytes; at += pixelBytes) {
        if (load(at) & alpha) return;
    }
    for (size_t at = 0; at < bytes; at += pixelBytes) {
        if (pixelBytes == 4) {
            StoreLe32(pixels + at, load(at) | alpha);
        } else {
            StoreLe16(pixels + at, load(at) | alpha);
        }
    }
}

size_t StoredRowBytes(const BmpHeader& header) {
    return static_cast<size_t>((header.width * header.bits + 7) / 8);
}

// Rows padded to 4 bytes; the last row's padding may be missing.
const uint8_t* TakePlainRows(ByteReader& in, const BmpHeader& header, size_t& stride) {
    stride = static_cast<size_t>((header.width * header.bits + 31) / 32 * 4);
    if (!in.Seek(header.dataOffset)) return nullptr;
    size_t rowBytes = StoredRowBytes(header);
    if (rowBytes > in.Remaining() || static_cast<uint64_t>(header.height - 1) > (in.Remaining() - rowBytes) / stride) {
        return nullptr;
    }
    return in.Take(stride * static_cast<size_t>(header.height - 1) + rowBytes);
}

void UnpackPlainRows(const uint8_t* rows, size_t stride, const BmpHeader& header, DecodedImage& image) {
    for (int64_t y = 0; y < header.height; ++y, rows += stride) {
        uint8_t* out = image.Row(ImageRow(header, y));
        if (header.bits >= 8) {
            std::memcpy(out, rows, StoredRowBytes(header));
            continue;
        }
        // Pixels of 1 or 4 bits, the leftmost in the highest bits.
        int perByte = 8 / header.bits;
        uint8_t mask = static_cast<uint8_t>((1u << header.bits) - 1);
        for (int64_t x = 0; x < header.width; ++x) {
            int shift = 8 - header.bits * static_cast<int>(x % perByte + 1);
            out[x] = static_cast<uint8_t>(rows[x / perByte] >> shift) & mask;
        }
    }
}

// Runs of 8-bit indices (RLE8) or alternating 4-bit ones (RLE4). What the
// data puts outside the image is dropped.
class RleWriter {
public:
    RleWriter(DecodedImage& image, const BmpHeader& header) : image_(image), header_(header) {}

    void Put(uint8_t index) {
        if (x_ < header_.width && y_ < header_.height) image_.Row(ImageRow(header_, y_))[x_] = index;
        ++x_;
    }
    void NextRow() {
        x_ = 0;
        ++y_;
    }
    void Move(int dx, int dy) {
        x_ += dx;
        y_ += dy;
    }
    bool Done() const { return y_ >= header_.height; }

private:
    DecodedImage& image_;
    const BmpHeader& header_;
    int64_t x_ = 0;
    int64_t y_ = 0;
};

bool ReadRunLengthRows(ByteReader& in, const BmpHeader& header, DecodedImage& image) {
    bool nibbles = header.compression == kRle4;
    // RLE4 holds two pixels in a byte, the left one in the high nibble.
    auto indexAt = [nibbles](const uint8_t* bytes, int i) -> uint8_t {
        if (!nibbles) return bytes[i];
        return i % 2 ? bytes[i / 2] & 0x0F : bytes[i / 2] >> 4;
    };
    RleWriter out(image, header);
    while (!out.Done()) {
        uint8_t count = in.U8();
        uint8_t value = in.U8();
        if (!in.Ok()) return false;
        if (count > 0) {
            for (int i = 0; i < count; ++i) out.Put(indexAt(&value, nibbles ? i % 2 : 0));
            continue;
        }
        switch (value) {
            case 0: out.NextRow(); break;
            case 1: return true;
            case 2: {
                int dx = in.U8();
                int dy = in.U8();
                if (!in.Ok()) return false;
                out.Move(dx, dy);
                break;
            }
            default: {
                size_t bytes = nibbles ? (value + 1u) / 2 : value;
                const uint8_t* indices = in.Take(bytes);
                if (!indices) return false;
                for (int i = 0; i < value; ++i) out.Put(indexAt(indices, i));
                // Absolute runs keep the data in 16-bit steps.
                if (bytes % 2 && in.Remaining() > 0) in.Skip(1);
            }
        }
    }
    return true;
}

bool DecodeBmp(Bitmap& bitmap, Stream& stream) {
    std::vector<uint8_t> data = ReadWholeStream(stream);
    ByteReader in(data);
    BmpHeader header;
    PixelFormat format;
    if (!ReadBmpHeader(in, header) || !ChooseFormat(in, header, format)) return false;

    DecodedImage image;
    if (header.compression == kRle8 || header.compression == kRle4) {
        if (!in.Seek(header.dataOffset)) return false;
        // Deltas and an early end leave pixels out: RLE has no fixed ratio.
        // Indexed pixels take one byte each.
        if (!image.Allocate(header.width, header.height, format, SparsePixelLimit(in.Remaining()))) return false;
        if (!ReadRunLengthRows(in, header, image)) return false;
    } else {
        size_t stride = 0;
        const uint8_t* rows = TakePlainRows(in, header, stride);
        if (!rows || !image.Allocate(header.width, header.height, format)) return false;
        UnpackPlainRows(rows, stride, header, image);
        if (header.infoSize != kMaskedInfoHeaderBytes) MakeOpaqueWhenAlphaUnused(image);
    }
    image.HandTo(bitmap);
    return true;
}

// The format a bitmap is written in; null when BMP has no such depth.
const PixelFormat* EncodedFormat(const PixelFormat& format) {
    if (format.Has(kPixelIndexed)) return format.HasPalette() && format.BitsPerPixel() == 8 ? &format : nullptr;
    switch (format.BitsPerPixel()) {
        case 8:
        case 16: return &Rgb565Format();
        case 24: return &Rgb888Format();
        case 32: return &ArgbFormat();
        default: return nullptr;
    }
}

bool EncodeBmp(Stream& stream, const Bitmap& bitmap, float) {
    const PixelFormat* target = EncodedFormat(bitmap.Format());
    if (!target || !bitmap.Image()) return false;
    Bitmap converted(bitmap.Width(), bitmap.Height(), *target);
    if (!Blit(converted, bitmap, kBlitCopy)) return false;

    bool indexed = target->Has(kPixelIndexed);
    int depth = target->BitsPerPixel();
    // Plain 16-bit files are RGB555; the masks tell readers it is RGB565.
    bool bitFields = depth == 16;
    uint32_t dataOffset = static_cast<uint32_t>(kFileHeaderBytes + kInfoHeaderBytes) + (indexed ? 4 * 256 : 0) +
                          (bitFields ? 12 : 0);
    size_t rowBytes = static_cast<size_t>(converted.Pitch());
    size_t padding = (4 - rowBytes % 4) % 4;
    uint64_t imageBytes = uint64_t{rowBytes + padding} * static_cast<uint64_t>(converted.Height());
    if (dataOffset + imageBytes > UINT32_MAX) return false;

    ByteWriter file;
    file.U8('B');
    file.U8('M');
    file.Le32(static_cast<uint32_t>(dataOffset + imageBytes));
    file.Le32(0);
    file.Le32(dataOffset);
    file.Le32(kInfoHeaderBytes);
    file.Le32(static_cast<uint32_t>(converted.Width()));
    file.Le32(static_cast<uint32_t>(converted.Height()));
    file.Le16(1);
    file.Le16(static_cast<uint32_t>(depth));
    file.Le32(bitFields ? kBitFields : kPlain);
    file.Le32(static_cast<uint32_t>(imageBytes));
    file.Zeros(16);  // resolution, colours used and important
    if (bitFields) {
        file.Le32(target->redMask);
        file.Le32(target->greenMask);
        file.Le32(target->blueMask);
    }
    if (indexed) {
        for (int i = 0; i < PixelFormat::kPaletteSize; ++i) file.Le32(target->Palette()[i]);
    }
    for (int y = converted.Height() - 1; y >= 0; --y) {
        file.Append(converted.Image() + rowBytes * static_cast<size_t>(y), rowBytes);
        file.Zeros(padding);
    }
    return file.WriteTo(stream);
}

}  // namespace

BitmapCodec BmpCodecInfo() { return {{"bmp"}, DecodeBmp, EncodeBmp}; }

}  // namespace zentac

#include "engine/image/bitmap_codec_jp2.h"

#include <openjpeg.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>

#include "engine/image/bitmap.h"
#include "engine/image/decoded_image.h"
#include "engine/streams/byte_io.h"
#include "engine/core/exception.h"
#include "engine/streams/stream.h"
#include "engine/streams/stream_read_at.h"

namespace zentac {

namespace {

// OpenJPEG sizes its working memory from the header before it reads any
// sample: 32 bits per sample per component, and a record per tile. These
// caps keep a damaged header from asking for gigabytes; a small file is
// held to less (below).
constexpr int64_t kMaxSamples = int64_t{1} << 26;
constexpr int64_t kMaxTiles = 4096;
// Every tile has a tile-part of its own: a 12-byte SOT segment and an SOD
// marker at least.
constexpr int64_t kMinTileBytes = 14;
constexpr int kMaxComponents = 4;
// Smaller images are stretched to a texture size.
constexpr int kMinSide = 64;
constexpr int kStretchedSide = 128;
constexpr OPJ_SIZE_T kReadChunk = 64 * 1024;

constexpr uint8_t kJp2Signature[12] = {0, 0, 0, 0x0C, 'j', 'P', ' ', ' ', 0x0D, 0x0A, 0x87, 0x0A};
// SOC, then SIZ: every codestream starts so.
constexpr uint8_t kCodestreamStart[4] = {0xFF, 0x4F, 0xFF, 0x51};
constexpr uint32_t kHeaderBox = 0x6A703268;      // "jp2h"
constexpr uint32_t kPaletteBox = 0x70636C72;     // "pclr"
constexpr uint32_t kCodestreamBox = 0x6A703263;  // "jp2c"

[[noreturn]] void ThrowUndecodable() { ZENTAC_THROW("Cannot decode JPEG-2000 stream."); }

// Exactly count bytes at an offset within the stream, or false.
bool ReadBytesAt(Stream& stream, int64_t offset, uint8_t* out, int32_t count) {
    return offset >= 0 && offset <= int64_t{stream.Size()} - count &&
           ReadAt(stream, static_cast<int32_t>(offset), out, count);
}

// Calls visit(type, content start, box end) for each box between begin and
// end until visit answers true; false when no box did or a box overruns.
template <typename Visit>
bool WalkBoxes(Stream& stream, int64_t begin, int64_t end, Visit visit) {
    for (int64_t at = begin; at + 8 <= end;) {
        uint8_t header[16];
        if (!ReadBytesAt(stream, at, header, 8)) return false;
        uint64_t length = LoadBe32(header);
        int64_t content = at + 8;
        if (length == 1) {
            if (!ReadBytesAt(stream, at + 8, header + 8, 8)) return false;
            length = uint64_t{LoadBe32(header + 8)} << 32 | LoadBe32(header + 12);
            content = at + 16;
        } else if (length == 0) {
            length = static_cast<uint64_t>(end - at);  // runs to the end
        }
        if (length < static_cast<uint64_t>(content - at) || length > static_cast<uint64_t>(end - at)) return false;
        if (visit(LoadBe32(header + 4), content, at + static_cast<int64_t>(length))) return true;
        at += static_cast<int64_t>(length);
    }
    return false;
}

// What the decoder needs to know before OpenJPEG reads the header.
struct Jp2Layout {
    OPJ_CODEC_FORMAT codec = OPJ_CODEC_J2K;
    int64_t codestream = 0;   // offset of the SOC marker
    int paletteChannels = 0;  // components a palette expands to; 0 without one
};

Jp2Layout FindCodestream(Stream& stream) {
    uint8_t start[sizeof kJp2Signature];
    if (ReadBytesAt(stream, 0, start, sizeof kCodestreamStart) &&
        std::memcmp(start, kCodestreamStart, sizeof kCodestreamStart) == 0) {
        return {};
    }
    if (!ReadBytesAt(stream, 0, start, sizeof start) || std::memcmp(start, kJp2Signature, sizeof start) != 0) {
        ZENTAC_THROW("Unrecognized input stream.");
    }
    Jp2Layout layout;
    layout.codec = OPJ_CODEC_JP2;
    bool found = WalkBoxes(stream, 0, stream.Size(), [&](uint32_t type, int64_t content, int64_t end) {
        if (type == kHeaderBox) {
            WalkBoxes(stream, content, end, [&](uint32_t inner, int64_t palette, int64_t) {
                uint8_t counts[3];  // entries (2 bytes), then channels
                if (inner != kPaletteBox || !ReadBytesAt(stream, palette, counts, sizeof counts)) return false;
                layout.paletteChannels = counts[2];
                return true;
            });
        }
        if (type != kCodestreamBox) return false;
        layout.codestream = content;
        return true;
    });
    if (!found) ThrowUndecodable();
    return layout;
}

// Checks the image size (SIZ) against the caps before OpenJPEG allocates.
void CheckImageSize(Stream& stream, const Jp2Layout& layout) {
    uint8_t siz[42];
    if (!ReadBytesAt(stream, layout.codestream, siz, sizeof siz) ||
        std::memcmp(siz, kCodestreamStart, sizeof kCodestreamStart) != 0) {
        ThrowUndecodable();
    }
    int components = siz[40] << 8 | siz[41];
    int channels = layout.paletteChannels ? layout.paletteChannels : components;
    if (components < 1 || components > kMaxComponents || channels < 1 || channels > kMaxComponents) {
        ZENTAC_THROW("Incorrect number of components.");
    }
    int64_t width = LoadBe32(siz + 8), height = LoadBe32(siz + 12);
    int64_t tileWidth = LoadBe32(siz + 24), tileHeight = LoadBe32(siz + 28);
    int64_t tileLeft = LoadBe32(siz + 32), tileTop = LoadBe32(siz + 36);
    if (tileWidth == 0 || tileHeight == 0 || tileLeft >= width || tileTop >= height) ThrowUndecodable();
    int64_t tilesAcross = (width - tileLeft + tileWidth - 1) / tileWidth;
    int64_t tilesDown = (height - tileTop + tileHeight - 1) / tileHeight;
    // Flat areas cost a codestream next to nothing, so its size bounds the
    // picture only loosely; each sample costs OpenJPEG as much as a loaded
    // pixel, so samples are held to what the codestream may ask for.
    int64_t codestreamBytes = stream.Size() - layout.codestream;
    int64_t maxSamples = std::min(kMaxSamples, SparsePixelLimit(static_cast<size_t>(codestreamBytes)));
    int64_t maxTiles = std::min(kMaxTiles, codestreamBytes / kMinTileBytes);
    // Each factor stays below 2^32, so checking one first keeps the products in range.
    if (width > maxSamples || width * height > maxSamples / channels || tilesAcross > maxTiles ||
        tilesAcross * tilesDown > maxTiles) {
        ZENTAC_THROW("JPEG-2000 image is too large.");
    }
}

// OpenJPEG reads only through these, and only within the stream.
OPJ_SIZE_T ReadFromStream(void* buffer, OPJ_SIZE_T count, void* user) {
    auto* stream = static_cast<Stream*>(user);
    int32_t read = stream->Read(buffer, static_cast<int32_t>(std::min<OPJ_SIZE_T>(count, INT32_MAX)));
    return read > 0 ? static_cast<OPJ_SIZE_T>(read) : static_cast<OPJ_SIZE_T>(-1);
}

OPJ_BOOL SeekInStream(OPJ_OFF_T offset, void* user) {
    auto* stream = static_cast<Stream*>(user);
    if (offset < 0 || offset > stream->Size()) return OPJ_FALSE;
    return stream->Seek(static_cast<int32_t>(offset), kSeekSet) == offset;
}

OPJ_OFF_T SkipInStream(OPJ_OFF_T count, void* user) {
    auto* stream = static_cast<Stream*>(user);
    return SeekInStream(stream->Tell() + count, user) ? count : -1;
}

// The loader reports the failure; OpenJPEG's texts would only be noise.
void Quiet(const char*, void*) {}

// opj_codec_t and opj_stream_t are both void*: one deleter each.
struct CodecDeleter {
    void operator()(opj_codec_t* codec) const { opj_destroy_codec(codec); }
};
struct StreamDeleter {
    void operator()(opj_stream_t* stream) const { opj_stream_destroy(stream); }
};
struct ImageDeleter {
    void operator()(opj_image_t* image) const { opj_image_destroy(image); }
};
using ImagePointer = std::unique_ptr<opj_image_t, ImageDeleter>;

ImagePointer DecodeImage(Stream& stream, OPJ_CODEC_FORMAT format) {
    std::unique_ptr<opj_stream_t, StreamDeleter> input(opj_stream_create(kReadChunk, OPJ_TRUE));
    if (!input) ZENTAC_THROW("Cannot create input stream.");
    stream.Seek(0, kSeekSet);
    opj_stream_set_user_data(input.get(), &stream, nullptr);
    opj_stream_set_user_data_length(input.get(), static_cast<OPJ_UINT64>(stream.Size()));
    opj_stream_set_read_function(input.get(), ReadFromStream);
    opj_stream_set_skip_function(input.get(), SkipInStream);
    opj_stream_set_seek_function(input.get(), SeekInStream);

    std::unique_ptr<opj_codec_t, CodecDeleter> codec(opj_create_decompress(format));
    if (!codec) ThrowUndecodable();
    opj_set_info_handler(codec.get(), Quiet, nullptr);
    opj_set_warning_handler(codec.get(), Quiet, nullptr);
    opj_set_error_handler(codec.get(), Quiet, nullptr);
    opj_dparameters_t parameters;
    opj_set_default_decoder_parameters(&parameters);
    if (!opj_setup_decoder(codec.get(), &parameters)) ThrowUndecodable();
    opj_image_t* header = nullptr;
    bool read = opj_read_header(input.get(), codec.get(), &header);
    ImagePointer image(header);
    if (!read || !opj_decode(codec.get(), input.get(), image.get()) || !opj_end_decompress(codec.get(), input.get())) {
        ThrowUndecodable();
    }
    return image;
}

const PixelFormat& FormatFor(int components) {
    static const PixelFormat grey(8, 0xFF, 0, kPixelInteger);
    static const PixelFormat greyAlpha(16, 0xFF, 0xFF00, kPixelInteger);
    static const PixelFormat rgb(24, 0xFF, 0xFF00, 0xFF0000, 0, kPixelInteger);
    static const PixelFormat rgba(32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000, kPixelInteger);
    const PixelFormat* formats[kMaxComponents] = {&grey, &greyAlpha, &rgb, &rgba};
    return *formats[components - 1];
}

// The pixels of a bitmap under construction.
struct Canvas {
    uint8_t* pixels;
    int64_t width;
    int64_t height;
    int bytesPerPixel;
};

// A sample as 8 bits: the top 8 of deeper ones, widened shallower ones,
// signed ones moved up by half the range.
uint8_t SampleByte(int32_t sample, const opj_image_comp_t& component) {
    int64_t value = sample;
    if (component.prec <= 8) {
        value *= int64_t{1} << (8 - component.prec);
    } else {
        value >>= std::min(component.prec - 8, 31u);
    }
    if (component.sgnd) value += 128;
    return static_cast<uint8_t>(value & 255);
}

// Writes the component into one byte of every pixel, each sample over its
// dx x dy block of pixels.
void FillComponent(const opj_image_comp_t& component, int byte, const Canvas& canvas) {
    for (int64_t row = 0; row < component.h; ++row) {
        int64_t top = (component.y0 + row) * component.dy;
        int64_t bottom = std::min<int64_t>(top + component.dy, canvas.height);
        const OPJ_INT32* samples = component.data + row * component.w;
        for (int64_t column = 0; column < component.w; ++column) {
            uint8_t value = SampleByte(samples[column], component);
            int64_t left = (component.x0 + column) * component.dx;
            int64_t right = std::min<int64_t>(left + component.dx, canvas.width);
            for (int64_t y = top; y < bottom; ++y) {
                uint8_t* pixel = canvas.pixels + (y * canvas.width + left) * canvas.bytesPerPixel + byte;
                for (int64_t x = left; x < right; ++x, pixel += canvas.bytesPerPixel) *pixel = value;
            }
        }
    }
}

uint8_t ClampToByte(double value) { return static_cast<uint8_t>(std::clamp(value, 0.0, 255.0)); }

// Y in byte 2, Cb in byte 1 and Cr in byte 0 become red, green, blue.
void YCbCrToRgb(const Canvas& canvas) {
    uint8_t* pixel = canvas.pixels;
    for (int64_t i = 0; i < canvas.width * canvas.height; ++i, pixel += canvas.bytesPerPixel) {
        double luma = (pixel[2] - 16) * 1.164;
        int cb = pixel[1] - 128;
        int cr = pixel[0] - 128;
        pixel[0] = ClampToByte(luma + 1.596 * cr);
        pixel[1] = ClampToByte(luma - 0.813 * cr - 0.391 * cb);
        pixel[2] = ClampToByte(luma + 2.018 * cb);
    }
}

bool DecodeJp2(Bitmap& bitmap, Stream& stream) {
    Jp2Layout layout = FindCodestream(stream);
    CheckImageSize(stream, layout);
    ImagePointer image = DecodeImage(stream, layout.codec);

    int components = static_cast<int>(image->numcomps);
    if (components < 1 || components > kMaxComponents) ZENTAC_THROW("Incorrect number of components.");
    int64_t width = 0, height = 0;
    for (int i = 0; i < components; ++i) {
        const opj_image_comp_t& component = image->comps[i];
        if (!component.data || component.dx == 0 || component.dy == 0) ThrowUndecodable();
        width = std::max(width, (int64_t{component.x0} + component.w) * component.dx);
        height = std::max(height, (int64_t{component.y0} + component.h) * component.dy);
    }
    if (width * height * components > Bitmap::kMaxImageBytes) ZENTAC_THROW("JPEG-2000 image is too large.");
    size_t bytes = static_cast<size_t>(width * height * components);
    std::unique_ptr<uint8_t[]> pixels(new uint8_t[bytes]());
    Canvas canvas{pixels.get(), width, height, components};

    // Colour components fill the bytes from the first on, alpha ones from
    // the last back; YCbCr keeps Y, Cb, Cr in bytes 2, 1, 0 until converted.
    int colours = 0;
    for (int i = 0; i < components; ++i) colours += image->comps[i].alpha ? 0 : 1;
    bool ycbcr = image->color_space == OPJ_CLRSPC_SYCC && colours >= 3;
    int nextColour = 0, nextAlpha = components - 1;
    for (int i = 0; i < components; ++i) {
        const opj_image_comp_t& component = image->comps[i];
        int byte = component.alpha ? nextAlpha-- : nextColour++;
        if (ycbcr && !component.alpha && byte < 3) byte = 2 - byte;
        FillComponent(component, byte, canvas);
    }
    if (ycbcr) YCbCrToRgb(canvas);

    bitmap.SetImage(static_cast<int>(width), static_cast<int>(height), FormatFor(components), pixels.get());
    pixels.release();
    if (width < kMinSide || height < kMinSide) bitmap.Resize(kStretchedSide, kStretchedSide, false);
    return true;
}

}  // namespace

BitmapCodec Jp2CodecInfo() { return {{"jp2", "jpc", "j2k"}, DecodeJp2, nullptr}; }

}  // namespace zentac

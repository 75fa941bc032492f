#include "engine/image/bitmap_codec_png.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "engine/image/bitmap.h"
#include "engine/streams/whole_stream.h"

namespace zentac {

namespace {

constexpr double kScreenGamma = 2.0;
constexpr double kDefaultFileGamma = 0.45;
// Deflate never expands its input by more than this, so a header that
// promises more pixels than the rest of the file can hold is a lie.
constexpr uint64_t kMaxDeflateRatio = 1032;

// Chunks that libpng reads into a buffer of the length the file claims,
// however short the file, and whose contents no picture needs: skipped
// unread. The colour chunks stay, since gamma may come from them.
constexpr png_byte kSkippedChunks[] = "tEXt\0zTXt\0iTXt\0sPLT\0pCAL\0sCAL\0eXIf";
constexpr int kSkippedChunkCount = 7;

// What libpng reads from. Plain data: libpng leaves the reading functions
// by longjmp.
struct PngInput {
    const uint8_t* data;
    size_t size;
    size_t position;
};

// The decoded layout, filled in before any pixel is read.
struct PngLayout {
    png_uint_32 width;
    png_uint_32 height;
    int bytesPerPixel;
    int passes;
    uint64_t packedBits;  // the pixels as stored, before any transform
};

void ReadFromMemory(png_structp png, png_bytep destination, png_size_t length) {
    auto* input = static_cast<PngInput*>(png_get_io_ptr(png));
    if (length > input->size - input->position) png_error(png, "Read past the end of the data");
    std::memcpy(destination, input->data + input->position, length);
    input->position += length;
}

// The loader reports the failure; libpng's texts would only be noise.
void StopOnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void IgnoreWarning(png_structp, png_const_charp) {}

// Owns libpng's read and info structures.
struct PngReader {
    PngReader()
        : png(png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, StopOnError, IgnoreWarning)),
          info(png ? png_create_info_struct(png) : nullptr) {}
    ~PngReader() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
    PngReader(const PngReader&) = delete;
    PngReader& operator=(const PngReader&) = delete;

    png_structp png;
    png_infop info;
};

// Reads the header and sets up the transforms to 8 bits per channel in
// blue, green, red, alpha order. No object with a destructor may live in
// here: errors longjmp back to the setjmp.
bool ReadPngHeader(png_structp png, png_infop info, PngLayout* layout) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_info(png, info);
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colorType = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, nullptr, nullptr, nullptr);
    bool transparent = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    bool colour = (colorType & PNG_COLOR_MASK_COLOR) != 0;
    bool alpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0 || transparent;

    png_set_strip_16(png);
    png_set_packing(png);
    if (colorType == PNG_COLOR_TYPE_PALETTE || (!colour && bitDepth < 8) || transparent) png_set_expand(png);
    double fileGamma = 0;
    if (!png_get_gAMA(png, info, &fileGamma)) fileGamma = kDefaultFileGamma;
    png_set_gamma(png, kScreenGamma, fileGamma);
    png_set_bgr(png);
    layout->passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);

    layout->width = width;
    layout->height = height;
    layout->bytesPerPixel = (colour ? 3 : 1) + (alpha ? 1 : 0);
    layout->packedBits = uint64_t{width} * height * png_get_channels(png, info) * static_cast<unsigned>(bitDepth);
    // The rows must come out exactly as wide as the buffers made for them.
    return png_get_rowbytes(png, info) == size_t{width} * static_cast<size_t>(layout->bytesPerPixel);
}

// Same rule as ReadPngHeader: plain data only.
bool ReadPngRows(png_structp png, png_infop info, png_bytepp rows, int passes, png_uint_32 height) {
    if (setjmp(png_jmpbuf(png))) return false;
    for (int pass = 0; pass < passes; ++pass) png_read_rows(png, rows, nullptr, height);
    png_read_end(png, info);
    return true;
}

const PixelFormat& FormatFor(int bytesPerPixel) {
    static const PixelFormat grey(8, 0xFF, 0, kPixelInteger);
    static const PixelFormat greyAlpha(16, 0xFF, 0xFF00, kPixelInteger);
    static const PixelFormat rgb(24, 0xFF0000, 0xFF00, 0xFF, 0, kPixelInteger);
    switch (bytesPerPixel) {
        case 1: return grey;
        case 2: return greyAlpha;
        case 3: return rgb;
        default: return ArgbFormat();
    }
}

bool DecodePng(Bitmap& bitmap, Stream& stream) {
    std::vector<uint8_t> data = ReadWholeStream(stream);
    if (data.size() < 8 || png_sig_cmp(data.data(), 0, 8) != 0) return false;
    PngReader reader;
    if (!reader.info) return false;
    PngInput input{data.data(), data.size(), 0};
    png_set_read_fn(reader.png, &input, ReadFromMemory);
    png_set_keep_unknown_chunks(reader.png, PNG_HANDLE_CHUNK_NEVER, kSkippedChunks, kSkippedChunkCount);
    PngLayout layout{};
    if (!ReadPngHeader(reader.png, reader.info, &layout)) return false;

    uint64_t imageBytes = uint64_t{layout.width} * layout.height * static_cast<unsigned>(layout.bytesPerPixel);
    if (imageBytes > static_cast<uint64_t>(Bitmap::kMaxImageBytes)) return false;
    if (layout.packedBits / 8 > (input.size - input.position) * kMaxDeflateRatio) return false;
    std::unique_ptr<uint8_t[]> image(new (std::nothrow) uint8_t[imageBytes]());
    std::unique_ptr<png_bytep[]> rows(new (std::nothrow) png_bytep[layout.height]);
    if (!image || !rows) return false;
    size_t pitch = size_t{layout.width} * static_cast<size_t>(layout.bytesPerPixel);
    for (png_uint_32 y = 0; y < layout.height; ++y) rows[y] = image.get() + y * pitch;
    if (!ReadPngRows(reader.png, reader.info, rows.get(), layout.passes, layout.height)) return false;

    bitmap.SetImage(static_cast<int>(layout.width), static_cast<int>(layout.height), FormatFor(layout.bytesPerPixel),
                    image.get());
    image.release();
    return true;
}

}  // namespace

BitmapCodec PngCodecInfo() { return {{"png"}, DecodePng, nullptr}; }

}  // namespace zentac

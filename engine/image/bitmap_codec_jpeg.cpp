#include "engine/image/bitmap_codec_jpeg.h"

// jpeglib.h needs FILE and size_t declared before it.
#include <cstdio>

#include <jerror.h>
#include <jpeglib.h>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include "engine/image/bitmap.h"
#include "engine/image/blitter.h"
#include "engine/streams/stream.h"
#include "engine/streams/whole_stream.h"

namespace zentac {

namespace {

constexpr size_t kFirstOutputBlock = 64 * 1024;
// The encoded bytes leave through one 32-bit stream write.
constexpr size_t kMaxOutputBytes = static_cast<size_t>(Bitmap::kMaxImageBytes);
constexpr int kMinBudgetKilobytes = 24;
const JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};

const PixelFormat& GreyFormat() {
    static const PixelFormat format(8, 0xFF, 0, kPixelInteger);
    return format;
}

const PixelFormat& Rgb888Format() {
    static const PixelFormat format(24, 0xFF0000, 0xFF00, 0xFF, 0, kPixelInteger);
    return format;
}

// Where libjpeg's error exit returns to. Everything between the setjmp and
// the error is skipped by longjmp, so the code on that path holds plain
// data only.
struct JpegErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void JumpOnError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegErrorManager*>(info->err)->jump, 1);
}

// Warnings are counted as libjpeg does but never printed.
void DropMessage(j_common_ptr) {}

jpeg_error_mgr* InstallErrorManager(JpegErrorManager& manager) {
    jpeg_std_error(&manager.pub);
    manager.pub.error_exit = JumpOnError;
    manager.pub.output_message = DropMessage;
    return &manager.pub;
}

// Hands libjpeg all the input at once. Past its end the image ends: a
// stream cut short decodes what it has.
struct JpegMemorySource {
    jpeg_source_mgr pub;
    const uint8_t* data;
    size_t size;
};

void StartSource(j_decompress_ptr info) {
    auto* source = reinterpret_cast<JpegMemorySource*>(info->src);
    source->pub.next_input_byte = source->data;
    source->pub.bytes_in_buffer = source->size;
}

boolean RefillSource(j_decompress_ptr info) {
    auto* source = reinterpret_cast<JpegMemorySource*>(info->src);
    if (source->size == 0) ERREXIT(info, JERR_INPUT_EMPTY);
    WARNMS(info, JWRN_JPEG_EOF);
    source->pub.next_input_byte = kEndOfImage;
    source->pub.bytes_in_buffer = sizeof kEndOfImage;
    return TRUE;
}

void SkipSource(j_decompress_ptr info, long count) {
    jpeg_source_mgr& pub = *info->src;
    if (count <= 0) return;
    if (static_cast<unsigned long>(count) > pub.bytes_in_buffer) {
        // Nothing lies beyond: the next read meets the end of the image.
        pub.bytes_in_buffer = 0;
        return;
    }
    pub.next_input_byte += count;
    pub.bytes_in_buffer -= static_cast<size_t>(count);
}

void EndSource(j_decompress_ptr) {}

// Collects the encoded bytes in one block that doubles when full.
struct JpegMemoryDestination {
    jpeg_destination_mgr pub;
    uint8_t* block;  // from malloc
    size_t capacity;
};

void StartDestination(j_compress_ptr info) {
    auto* destination = reinterpret_cast<JpegMemoryDestination*>(info->dest);
    destination->block = static_cast<uint8_t*>(std::malloc(kFirstOutputBlock));
    if (!destination->block) ERREXIT1(info, JERR_OUT_OF_MEMORY, 0);
    destination->capacity = kFirstOutputBlock;
    destination->pub.next_output_byte = destination->block;
    destination->pub.free_in_buffer = destination->capacity;
}

// libjpeg calls this with the whole block full.
boolean GrowDestination(j_compress_ptr info) {
    auto* destination = reinterpret_cast<JpegMemoryDestination*>(info->dest);
    size_t used = destination->capacity;
    size_t capacity = used * 2;
    void* grown = capacity <= kMaxOutputBytes ? std::realloc(destination->block, capacity) : nullptr;
    if (!grown) ERREXIT1(info, JERR_OUT_OF_MEMORY, 1);
    destination->block = static_cast<uint8_t*>(grown);
    destination->capacity = capacity;
    destination->pub.next_output_byte = destination->block + used;
    destination->pub.free_in_buffer = capacity - used;
    return TRUE;
}

void EndDestination(j_compress_ptr) {}

// libjpeg's decompressor over bytes in memory. It starts zeroed, so
// destroying one that libjpeg never set up, or left half-way, is harmless.
struct JpegDecoder {
    JpegDecoder(const uint8_t* data, size_t size) {
        info.err = InstallErrorManager(error);
        source.pub.init_source = StartSource;
        source.pub.fill_input_buffer = RefillSource;
        source.pub.skip_input_data = SkipSource;
        source.pub.resync_to_restart = jpeg_resync_to_restart;
        source.pub.term_source = EndSource;
        source.data = data;
        source.size = size;
    }
    ~JpegDecoder() { jpeg_destroy_decompress(&info); }
    JpegDecoder(const JpegDecoder&) = delete;
    JpegDecoder& operator=(const JpegDecoder&) = delete;

    jpeg_decompress_struct info{};
    JpegErrorManager error{};
    JpegMemorySource source{};
};

// Reads the header and fixes the output size and colour order. Plain data
// only from here to the end of the function.
bool ReadJpegHeader(JpegDecoder* decoder, const JpegReadOptions* options) {
    jpeg_decompress_struct* info = &decoder->info;
    if (setjmp(decoder->error.jump)) return false;
    jpeg_create_decompress(info);
    // Bounds the coefficient buffers of progressive files with huge headers.
    info->mem->max_memory_to_use = Bitmap::kMaxImageBytes;
    info->src = &decoder->source.pub;
    jpeg_read_header(info, TRUE);
    switch (info->jpeg_color_space) {
        case JCS_GRAYSCALE: info->out_color_space = JCS_GRAYSCALE; break;
        case JCS_YCbCr:
        case JCS_RGB: info->out_color_space = JCS_EXT_BGR; break;
        default: return false;
    }
    jpeg_calc_output_dimensions(info);
    if (options->scaling == JpegScaling::kFitBudget) {
        int kilobytes = std::max(options->budgetKilobytes, kMinBudgetKilobytes);
        uint64_t budget = uint64_t{1024} * static_cast<unsigned>(kilobytes);
        uint64_t halvings = uint64_t{info->output_width} * info->output_height * 3 / budget;
        info->scale_num = 1;
        info->scale_denom = halvings >= 3 ? 8 : 1u << halvings;
        jpeg_calc_output_dimensions(info);
    } else if (options->scaling == JpegScaling::kFastPreview) {
        info->scale_num = 1;
        info->scale_denom = 8;
        info->dct_method = JDCT_IFAST;
        info->do_fancy_upsampling = FALSE;
        jpeg_calc_output_dimensions(info);
    }
    return true;
}

// Whether the input is large enough for the picture its header declares.
// With Huffman coding every 8 x 8 block of every component costs at least
// one bit: the code of its DC difference (sequential scans add the end of
// block). A file cut short reads as ending there and decodes as flat grey,
// so without this bound a few bytes could ask for a picture of gigabytes.
// Arithmetic coding can squeeze a flat picture almost to nothing, so its
// size bounds nothing: such files are refused.
bool InputCanHoldImage(const jpeg_decompress_struct& info, size_t size) {
    if (info.arith_code) return false;
    uint64_t blocks = 0;
    for (int i = 0; i < info.num_components; ++i) {
        blocks += uint64_t{info.comp_info[i].width_in_blocks} * info.comp_info[i].height_in_blocks;
    }
    return blocks <= uint64_t{size} * 8;
}

// Same rule as ReadJpegHeader: plain data only.
bool ReadJpegRows(JpegDecoder* decoder, uint8_t* image, size_t pitch) {
    jpeg_decompress_struct* info = &decoder->info;
    if (setjmp(decoder->error.jump)) return false;
    jpeg_start_decompress(info);
    while (info->output_scanline < info->output_height) {
        JSAMPROW row = image + size_t{info->output_scanline} * pitch;
        if (jpeg_read_scanlines(info, &row, 1) != 1) return false;
    }
    jpeg_finish_decompress(info);
    return true;
}

// libjpeg's compressor into a growing block of memory.
struct JpegEncoder {
    JpegEncoder() {
        info.err = InstallErrorManager(error);
        destination.pub.init_destination = StartDestination;
        destination.pub.empty_output_buffer = GrowDestination;
        destination.pub.term_destination = EndDestination;
    }
    ~JpegEncoder() {
        jpeg_destroy_compress(&info);
        std::free(destination.block);
    }
    JpegEncoder(const JpegEncoder&) = delete;
    JpegEncoder& operator=(const JpegEncoder&) = delete;

    size_t BytesWritten() const { return destination.capacity - destination.pub.free_in_buffer; }

    jpeg_compress_struct info{};
    JpegErrorManager error{};
    JpegMemoryDestination destination{};
};

// Compresses an RGB888 bitmap top-down. Plain data only.
bool WriteJpegImage(JpegEncoder* encoder, const Bitmap* rgb, int quality) {
    jpeg_compress_struct* info = &encoder->info;
    if (setjmp(encoder->error.jump)) return false;
    jpeg_create_compress(info);
    info->dest = &encoder->destination.pub;
    info->image_width = static_cast<JDIMENSION>(rgb->Width());
    info->image_height = static_cast<JDIMENSION>(rgb->Height());
    info->input_components = 3;
    info->in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(info);
    jpeg_set_quality(info, quality, TRUE);
    jpeg_start_compress(info, TRUE);
    while (info->next_scanline < info->image_height) {
        size_t offset = size_t{info->next_scanline} * static_cast<size_t>(rgb->Pitch());
        JSAMPROW row = const_cast<uint8_t*>(rgb->Image()) + offset;
        jpeg_write_scanlines(info, &row, 1);
    }
    jpeg_finish_compress(info);
    return true;
}

// 0 to 1 becomes libjpeg's 0 to 100, cut, not rounded.
int LibraryQuality(float quality) {
    if (!(quality > 0.0f)) return 0;
    return static_cast<int>(std::min(quality, 1.0f) * 100.0);
}

bool DecodeJpeg(Bitmap& bitmap, Stream& stream) {
    std::vector<uint8_t> data = ReadWholeStream(stream);
    return ReadJpegImage({}, data.data(), data.size(), bitmap);
}

bool EncodeJpeg(Stream& stream, const Bitmap& bitmap, float quality) {
    if (bitmap.Width() < 1 || bitmap.Height() < 1 || !bitmap.Image()) return false;
    Bitmap rgb(bitmap.Width(), bitmap.Height(), Rgb888Format());
    if (!Blit(rgb, bitmap, kBlitCopy)) return false;
    JpegEncoder encoder;
    if (!WriteJpegImage(&encoder, &rgb, LibraryQuality(quality))) return false;
    auto bytes = static_cast<int32_t>(encoder.BytesWritten());
    return stream.Write(encoder.destination.block, bytes) == bytes;
}

}  // namespace

BitmapCodec JpegCodecInfo() { return {{"jpg", "jpeg", "jfif"}, DecodeJpeg, EncodeJpeg}; }

bool ReadJpegImage(const JpegReadOptions& options, const uint8_t* data, size_t size, Bitmap& bitmap) {
    JpegDecoder decoder(data, size);
    if (!ReadJpegHeader(&decoder, &options) || !InputCanHoldImage(decoder.info, size)) return false;
    const jpeg_decompress_struct& info = decoder.info;
    int components = info.output_components;
    uint64_t bytes = uint64_t{info.output_width} * info.output_height * static_cast<unsigned>(components);
    if ((components != 1 && components != 3) || bytes == 0 || bytes > static_cast<uint64_t>(Bitmap::kMaxImageBytes)) {
        return false;
    }
    std::unique_ptr<uint8_t[]> image(new (std::nothrow) uint8_t[bytes]);
    size_t pitch = size_t{info.output_width} * static_cast<size_t>(components);
    if (!image || !ReadJpegRows(&decoder, image.get(), pitch)) return false;
    bitmap.SetImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                    components == 1 ? GreyFormat() : Rgb888Format(), image.get());
    image.release();
    return true;
}

}  // namespace zentac

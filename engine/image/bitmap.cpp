#include "engine/image/bitmap.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine/image/bitmap_codec.h"
#include "engine/image/blitter.h"
#include "engine/core/exception.h"
#include "engine/image/neu_quant.h"

namespace zentac {

namespace {

// Bytes per row of a bitmap of that size, or an exception for a size that
// no image can have.
int32_t CheckedPitch(int width, int height, const PixelFormat& format) {
    int64_t pitch = int64_t{format.BytesPerPixel()} * width;
    if (width <= 0 || height <= 0 || pitch <= 0 || pitch * height > Bitmap::kMaxImageBytes) {
        char message[96];
        std::snprintf(message, sizeof message, "Invalid bitmap size: %d x %d at %d bits per pixel.", width, height,
                      format.BitsPerPixel());
        ZENTAC_THROW(message);
    }
    return static_cast<int32_t>(pitch);
}

}  // namespace

Bitmap::Bitmap(int width, int height, const PixelFormat& format)
    : width_(width),
      height_(height),
      pitch_(CheckedPitch(width, height, format)),
      format_(format),
      image_(new uint8_t[static_cast<size_t>(pitch_) * height]) {}

Bitmap::Bitmap(const Bitmap& other) : Object() { *this = other; }

Bitmap& Bitmap::operator=(const Bitmap& other) {
    if (this == &other) return *this;
    if (other.image_) {
        size_t bytes = static_cast<size_t>(other.pitch_) * other.height_;
        if (!image_ || pitch_ != other.pitch_ || height_ != other.height_) image_.reset(new uint8_t[bytes]);
        std::memcpy(image_.get(), other.image_.get(), bytes);
    } else {
        image_.reset();
    }
    width_ = other.width_;
    height_ = other.height_;
    pitch_ = other.pitch_;
    format_ = other.format_;
    return *this;
}

void Bitmap::Load(Stream& stream, const String& name) {
    String extension = GetExtension(name);
    const BitmapCodec* codec = FindBitmapCodec(BitmapCodecs(), extension);
    if (!codec) ZENTAC_THROW(String("Cannot find codec for extension: ") + extension);
    if (!codec->decode) ZENTAC_THROW("The codec is not decoder.");
    if (!codec->decode(*this, stream) || !image_) ZENTAC_THROW(String("Cannot decode image: ") + name);
    SetName(name);
}

void Bitmap::LoadAndConvert(Stream& stream, const String& name, const PixelFormat& format) {
    Load(stream, name);
    Convert(format);
}

void Bitmap::SetImage(int width, int height, const PixelFormat& format, uint8_t* image) {
    int32_t pitch = CheckedPitch(width, height, format);
    // Handing the bitmap its own block again must not free it.
    if (image != image_.get()) image_.reset(image);
    width_ = width;
    height_ = height;
    pitch_ = pitch;
    format_ = format;
}

void Bitmap::Resize(int width, int height, bool filter) {
    if (width == width_ && height == height_) return;
    Bitmap resized(width, height, format_);
    if (!Blit(resized, *this, filter ? kBlitBilinear : kBlitNearest)) ZENTAC_THROW("Cannot resize the bitmap.");
    TakeOver(resized);
}

void Bitmap::Convert(const PixelFormat& format) {
    if (format_.SameLayout(format)) return;
    if (format.Has(kPixelIndexed)) {
        Quantize(0.35f);
        return;
    }
    if (!image_) {
        format_ = format;
        pitch_ = format.BytesPerPixel() * width_;
        return;
    }
    Bitmap converted(width_, height_, format);
    if (!Blit(converted, *this, kBlitCopy)) ZENTAC_THROW("Cannot convert the bitmap to this pixel format.");
    TakeOver(converted);
}

void Bitmap::Quantize(float quality) {
    if (format_.Has(kPixelIndexed)) return;
    Convert(ArgbFormat());
    // Quality 1 or more would sample every 0th pixel: sample every one.
    int samplingFactor = std::max(30 - static_cast<int>(quality * 29 + 1), 1);
    int64_t bytes = image_ ? int64_t{pitch_} * height_ : 0;
    NeuQuant quantizer(image_.get(), bytes, samplingFactor);
    PixelFormat indexed = PixelFormat::Indexed8();
    std::copy_n(quantizer.Palette(), PixelFormat::kPaletteSize, indexed.Palette());
    if (!image_) {
        format_ = indexed;
        pitch_ = width_;
        return;
    }
    int64_t count = int64_t{width_} * height_;
    std::unique_ptr<uint8_t[]> indices(new uint8_t[count]);
    const uint8_t* pixel = image_.get();
    for (int64_t i = 0; i < count; ++i, pixel += 4) {
        indices[i] = static_cast<uint8_t>(quantizer.IndexOf(pixel[0], pixel[1], pixel[2]));
    }
    SetImage(width_, height_, indexed, indices.release());
}

void Bitmap::TakeOver(Bitmap& filled) {
    image_ = std::move(filled.image_);
    width_ = filled.width_;
    height_ = filled.height_;
    pitch_ = filled.pitch_;
    format_ = filled.format_;
}

}  // namespace zentac

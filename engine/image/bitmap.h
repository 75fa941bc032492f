// engine/image: bitmaps, pixel formats, blitters, the quantiser and one codec per format; uses streams, core.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/core/object.h"
#include "engine/image/pixel_format.h"
#include "engine/core/string.h"

namespace zentac {

class Stream;

// An image in memory: rows of pixels without padding, row 0 first.
class Bitmap : public Object {
public:
    // Largest pixel block a bitmap accepts; nothing the engine loads comes near it.
    static constexpr int64_t kMaxImageBytes = int64_t{1} << 30;

    // No size, no format, no image.
    Bitmap() = default;
    // An uninitialised image of width x height in the format. Throws when
    // the size is not positive or the block would pass kMaxImageBytes.
    Bitmap(int width, int height, const PixelFormat& format);
    // Deep copies; the name is not copied.
    Bitmap(const Bitmap& other);
    Bitmap& operator=(const Bitmap& other);
    ~Bitmap() override = default;

    // Decodes the stream with the image codec of the name's extension.
    void Load(Stream& stream, const String& name);
    void LoadAndConvert(Stream& stream, const String& name, const PixelFormat& format);

    // Adopts a block allocated with new uint8_t[] of at least height rows
    // of bytes-per-pixel x width. Sizes are checked as in the constructor.
    void SetImage(int width, int height, const PixelFormat& format, uint8_t* image);

    // Nearest-neighbour, or bilinear with filter set.
    void Resize(int width, int height, bool filter);
    // An indexed target quantises; others convert pixel by pixel.
    void Convert(const PixelFormat& format);
    // Reduces the image to 8-bit indexed colour; quality from 0 to 1 trades
    // speed against palette fit.
    void Quantize(float quality);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Pitch() const { return pitch_; }
    const PixelFormat& Format() const { return format_; }
    PixelFormat& Format() { return format_; }
    uint8_t* Image() { return image_.get(); }
    const uint8_t* Image() const { return image_.get(); }

private:
    // Takes over the image, size and format of a bitmap that Blit filled.
    void TakeOver(Bitmap& filled);

    int32_t width_ = 0;
    int32_t height_ = 0;
    int32_t pitch_ = 0;
    PixelFormat format_;
    std::unique_ptr<uint8_t[]> image_;
};

}  // namespace zentac

#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/image/bitmap.h"
#include "engine/image/pixel_format.h"

namespace zentac {

// The most pixels a file may ask for when its data can leave pixels out
// (skips, rows that share one run, empty code blocks), so that no ratio
// bounds what its bytes expand to: half a megapixel, and 512 more for each
// byte. Loaded as 32-bit ARGB beside its decoded form, a file under 16 KB
// then stays under 64 MB.
int64_t SparsePixelLimit(size_t fileBytes);

// The pixels a decoder fills before it hands them to a bitmap. They start
// zeroed, so that what a file leaves out comes out black, and the bitmap
// gets them only once the whole file was read: a failed decode leaves it
// as it was.
class DecodedImage {
public:
    // False, allocating nothing, when a side is below 1 or the block would
    // pass byteLimit or the bitmap's own limit. Decoders of compressed data
    // pass what the rest of their input can expand to at most, so that a
    // small file cannot ask for a huge block.
    bool Allocate(int64_t width, int64_t height, const PixelFormat& format,
                  int64_t byteLimit = Bitmap::kMaxImageBytes);

    int Width() const { return width_; }
    int Height() const { return height_; }
    size_t Pitch() const { return pitch_; }
    size_t Bytes() const { return pitch_ * static_cast<size_t>(height_); }
    uint8_t* Pixels() { return pixels_.get(); }
    uint8_t* Row(int y) { return pixels_.get() + pitch_ * static_cast<size_t>(y); }
    // The format's palette may be filled in before the hand-over.
    PixelFormat& Format() { return format_; }

    void HandTo(Bitmap& bitmap);

private:
    int width_ = 0;
    int height_ = 0;
    size_t pitch_ = 0;
    PixelFormat format_;
    std::unique_ptr<uint8_t[]> pixels_;
};

}  // namespace zentac

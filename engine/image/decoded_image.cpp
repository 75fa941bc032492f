#include "engine/image/decoded_image.h"

#include <algorithm>
#include <new>

namespace zentac {

namespace {

constexpr int64_t kSparsePixels = int64_t{1} << 19;
constexpr int64_t kSparsePixelsPerByte = 512;

}  // namespace

int64_t SparsePixelLimit(size_t fileBytes) {
    // Past the largest image no file needs more; the clamp keeps the product in range.
    int64_t bytes = static_cast<int64_t>(std::min<size_t>(fileBytes, Bitmap::kMaxImageBytes));
    return kSparsePixels + bytes * kSparsePixelsPerByte;
}

bool DecodedImage::Allocate(int64_t width, int64_t height, const PixelFormat& format, int64_t byteLimit) {
    int64_t bytesPerPixel = format.BytesPerPixel();
    int64_t limit = std::min(byteLimit, Bitmap::kMaxImageBytes);
    if (width < 1 || height < 1 || bytesPerPixel < 1) return false;
    if (width > limit / bytesPerPixel || height > limit / (width * bytesPerPixel)) return false;
    size_t pitch = static_cast<size_t>(width * bytesPerPixel);
    pixels_.reset(new (std::nothrow) uint8_t[pitch * static_cast<size_t>(height)]());
    if (!pixels_) return false;
    width_ = static_cast<int>(width);
    height_ = static_cast<int>(height);
    pitch_ = pitch;
    format_ = format;
    return true;
}

void DecodedImage::HandTo(Bitmap& bitmap) {
    bitmap.SetImage(width_, height_, format_, pixels_.release());
}

}  // namespace zentac

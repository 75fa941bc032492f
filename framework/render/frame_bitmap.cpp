#include "framework/render/frame_bitmap.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {
std::size_t pixelCount(int width, int height) {
    return static_cast<std::size_t>(std::max(width, 0)) * static_cast<std::size_t>(std::max(height, 0));
}
}  // namespace

FrameBitmap::FrameBitmap(int width, int height)
    : width_(width), height_(height), pixels_(new uint32_t[pixelCount(width, height)]) {
    clear(0, 0, 0);
}

FrameBitmap::FrameBitmap(uint32_t* pixels, int width, int height) : width_(width), height_(height), pixels_(pixels) {}

FrameBitmap::~FrameBitmap() { delete[] pixels_; }

void FrameBitmap::clear(uint8_t r, uint8_t g, uint8_t b) {
    uint32_t pixel = static_cast<uint32_t>(b) | static_cast<uint32_t>(g) << 8 | static_cast<uint32_t>(r) << 16;
    std::fill(pixels_, pixels_ + pixelCount(width_, height_), pixel);
}

bool FrameBitmap::copyFrom(const FrameBitmap& source) {
    if (source.width_ != width_ || source.height_ != height_) return false;
    std::memcpy(pixels_, source.pixels_, pixelCount(width_, height_) * sizeof(uint32_t));
    return true;
}

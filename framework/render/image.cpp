#include "framework/render/image.h"

#include <algorithm>
#include <cstddef>

Image::Image(uint32_t* pixels, int width, int height, bool copy)
    : pixels_(pixels), width_(width), height_(height), owns_(copy) {
    if (copy) {
        std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
        pixels_ = new uint32_t[count];
        std::copy(pixels, pixels + count, pixels_);
    }
}

Image::~Image() {
    if (owns_) delete[] pixels_;
}

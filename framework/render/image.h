#pragma once

#include <cstdint>

// A 32-bit ARGB picture (bytes blue, green, red, alpha in memory).
class Image {
public:
    // With copy set the image keeps its own copy of the pixels and frees it;
    // otherwise it only points at the caller's buffer.
    Image(uint32_t* pixels, int width, int height, bool copy);
    virtual ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    uint32_t* getPixels() const { return pixels_; }
    int getWidth() const { return width_; }
    int getHeight() const { return height_; }

private:
    uint32_t* pixels_;
    int width_;
    int height_;
    bool owns_;
};

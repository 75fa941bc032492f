#pragma once

#include <cstdint>

// A 32-bit software frame; each pixel's bytes run blue, green, red, spare.
class FrameBitmap {
public:
    FrameBitmap(int width, int height);
    // Takes over the caller's buffer of width x height pixels.
    FrameBitmap(uint32_t* pixels, int width, int height);
    virtual ~FrameBitmap();
    FrameBitmap(const FrameBitmap&) = delete;
    FrameBitmap& operator=(const FrameBitmap&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    uint32_t* pixels() const { return pixels_; }

    void clear(uint8_t r, uint8_t g, uint8_t b);
    // Copies the source's pixels; returns false (copying nothing) when the
    // sizes differ.
    bool copyFrom(const FrameBitmap& source);

private:
    int width_;
    int height_;
    uint32_t* pixels_;
};

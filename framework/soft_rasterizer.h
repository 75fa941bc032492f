#pragma once

#include <cstdint>

// An end of a line for the rasteriser: position in target pixels and colour
// channels of 0..1; alpha scales the antialiased coverage.
struct RasterVertex {
    float x;
    float y;
    float red;
    float green;
    float blue;
    float alpha;
};

// Fixed-point line drawing with per-end colours into a 32-bit target (bytes
// blue, green, red, spare; the spare byte is never touched). Pixel (i, j) has
// its centre at (i, j). Hard lines write one pixel per step of the major axis;
// antialiased lines weigh up to four pixels across the line with a Gaussian
// profile and combine them with the blend mode. Pixels outside the target are
// skipped, so lines may reach anywhere.
class SoftRasterizer {
public:
    enum class BlendMode {
        Mix = 1,        // coverage-weighted mix of the new and old channel
        SignedAdd = 2,  // old + (new - key) x coverage, clamped to 0..255
        Additive = 3,   // old + new x coverage, capped at 255
    };

    // Sets the target and every setting back to its start: antialiased, mix,
    // key colour 0, end pixel drawn.
    void init(uint32_t* target, int width, int height);
    void setMode(bool antialiased) { antialiased_ = antialiased; }
    void setBlendMode(BlendMode mode) { blendMode_ = mode; }
    // Red, green and blue as in a pixel word (0x00RRGGBB), for the signed add.
    void setKeyColor(uint32_t rgb) { keyColor_ = rgb; }
    // Whether hard lines draw the pixel at their end.
    void setEndPixel(bool drawn) { endPixel_ = drawn; }

    void drawLine(const RasterVertex& start, const RasterVertex& end);

private:
    struct Line;

    void drawHard(Line& line, int count);
    void drawAntialiased(Line& line, int count);
    uint32_t* pixelAt(const Line& line, int major, int minor) const;
    uint32_t blend(uint32_t old, uint32_t fresh, int coverage) const;

    uint32_t* target_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    bool antialiased_ = true;
    BlendMode blendMode_ = BlendMode::Mix;
    uint32_t keyColor_ = 0;
    bool endPixel_ = true;
};

#pragma once

#include <array>
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

// The rasteriser's lookup tables, built once for the program.
struct RasterTables {
    // 256 x sqrt(1 + t^2) / sqrt(2) for slopes t of (i + 0.5) / 32: steep lines
    // are measured across a longer minor step, so they are made brighter.
    std::array<uint8_t, 32> slope;
    // 256 / e^(d^2) for distances d = (i + 0.5) / 32 x 4/3 from the line, in
    // 1/32 pixel: the antialiasing profile, 0 beyond about 1.5 pixels.
    std::array<uint8_t, 64> profile;
    // 32 x sqrt((2k + 1) / 32): distances in 1/32 pixel from squared ones; the
    // line code measures across the minor axis and has no use for it.
    std::array<uint8_t, 512> root;
    // trunc(a x (1/255 in single precision) x b).
    std::array<std::array<uint8_t, 256>, 256> multiply;
};

// Fixed-point line drawing with per-end colours into a 32-bit target (bytes
// blue, green, red, spare; the spare byte is never touched). A line is walked
// one whole coordinate of its major axis at a time, from its start rounded
// (hard lines) or from the whole pixel the start lies in (antialiased lines).
// Across it, pixel p spans p to p + 1: hard lines light the pixel the line
// passes through, antialiased lines weigh up to four pixels by their centres'
// distance with a Gaussian profile and combine them with the blend mode.
// Pixels outside the target are skipped, so lines may reach anywhere.
class SoftRasterizer {
public:
    enum class BlendMode {
        Mix = 1,        // coverage-weighted mix of the new and old channel
        SignedAdd = 2,  // old + (new - key) x coverage, clamped to 0..255
        Additive = 3,   // old + new x coverage, capped at 255
    };

    static const RasterTables& tables();

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

#pragma once

#include <array>
#include <cstdint>
#include <vector>

// A corner of a filled outline in target pixels, with the values the fill
// interpolates across it: red, green, blue (0..255) or texel u, v.
struct PolygonVertex {
    double x;
    double y;
    std::array<double, 3> values;
};

// 32-bit pixels that the textured fill copies from.
struct TextureView {
    const uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
};

// Scanline fill of outlines into a 32-bit target (bytes blue, green, red,
// spare). Pixels are sampled at their centres: the rows from the top corner's
// rounded y to the bottom corner's (excluded), and in each the pixels from the
// rounded left edge to the rounded right edge (excluded). The top is the
// leftmost corner on the topmost row, the bottom the first corner on the
// lowest. Convex outlines fill whichever way round they are listed, as OpenGL
// fills them. Nothing is written outside the target, whatever the coordinates.
class PolygonFill {
public:
    PolygonFill(uint32_t* target, int width, int height);
    void setTarget(uint32_t* target) { target_ = target; }

    // The pixel as whole words.
    void fillFlat(const std::vector<PolygonVertex>& outline, uint32_t pixel);
    // The pixel's red, green and blue bytes; the spare bytes stay.
    void fillPlain(const std::vector<PolygonVertex>& outline, uint32_t pixel);
    // Each channel := blend [newWeight][new] + blend [oldWeight][old] through
    // the blend table, capped at 255; weights of 0..255, the spare bytes stay.
    void fillTranslucent(const std::vector<PolygonVertex>& outline, uint32_t pixel, int newWeight, int oldWeight);
    // Red, green and blue from the corners' values: interpolated down the
    // edges, then across each row from the left edge's value by one change
    // per pixel for the whole outline. That change is taken from the top, the
    // bottom and the first of the first three corners that is neither.
    void fillGouraud(const std::vector<PolygonVertex>& outline);
    // The texel at the rounded (u, v) of each pixel, held to the texture's edges.
    void fillTextured(const std::vector<PolygonVertex>& outline, const TextureView& texture);

private:
    using Values = std::array<double, 3>;
    // Calls writeSpan(row pixels, first x, end x, values at the first pixel,
    // change of the values per pixel) for every visible span.
    template <class WriteSpan>
    void walk(const std::vector<PolygonVertex>& outline, WriteSpan writeSpan);

    uint32_t* target_;
    int width_;
    int height_;
    std::vector<int> rows_;
};

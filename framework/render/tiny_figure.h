#pragma once

#include <cstddef>
#include <vector>

struct WindowPoint {
    float x, y;
};

// A figure (a fill followed by its smooth outline) so small on screen that
// one primitive can draw it: its fragments sum what each outline segment
// would cover there, and the fill lights the pixel centres it holds. All in
// window pixels.
class TinyFigure {
public:
    // Larger figures are drawn as they are.
    static constexpr float kMaxExtent = 1.5f;
    // An outline of more segments is drawn as it is: each of the figure's
    // fragments walks every segment.
    static constexpr std::size_t kMaxSegments = 64;
    // A fill with more corners is drawn as it is: its outline would have as
    // many segments.
    static constexpr std::size_t kMaxFillCorners = kMaxSegments;

    // outline: segment ends in pairs.
    TinyFigure(const std::vector<WindowPoint>& outline, float lineWidth);
    bool fits() const { return fits_; }
    // Takes in the fill drawn just before the outline; false (and the figure
    // unchanged) when both together do not fit.
    bool addFill(const std::vector<WindowPoint>& fill);

    // The corners of a rectangle holding every pixel the figure touches.
    WindowPoint lowCorner() const;
    WindowPoint highCorner() const;
    // The fill's pixels: bit (row * 2 + column) of the mask for the pixel
    // maskOrigin + (column, row).
    WindowPoint maskOrigin() const { return maskOrigin_; }
    unsigned mask() const { return mask_; }

private:
    struct Box {
        float minX, minY, maxX, maxY;
    };
    static Box boxAround(const std::vector<WindowPoint>& points);
    static bool fitsIn(const Box& box);

    Box box_{};
    // How far a smooth line covers pixel centres beyond its ends and edges.
    float reach_ = 0.0f;
    bool fits_ = false;
    WindowPoint maskOrigin_{};
    unsigned mask_ = 0;
};

#include "framework/render/polygon_fill.h"

#include "framework/render/blend_table.h"
#include "framework/render/pixel_word.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

namespace {

using Values = std::array<double, 3>;

Values plus(const Values& a, const Values& b, double scale) {
    return {a[0] + b[0] * scale, a[1] + b[1] * scale, a[2] + b[2] * scale};
}

// One side of the outline as the fill walks down it: the edge from corner
// `from` to `to`, moving on by `step` (+1 or -1 around the outline).
class EdgeCursor {
public:
    EdgeCursor(const std::vector<PolygonVertex>& outline, int start, int step)
        : outline_(outline), step_(step), from_(start), to_(wrap(start + step)) {
        aim();
    }

    // Moves on to the edge that reaches below the row; false when a malformed
    // outline would send the cursor round more than once.
    bool reach(int row, const std::vector<int>& rows) {
        if (rows[to_] > row) return true;
        while (rows[to_] <= row) {
            if (++moves_ >= static_cast<int>(outline_.size())) return false;
            from_ = to_;
            to_ = wrap(to_ + step_);
        }
        aim();
        return true;
    }

    double xAt(double y) const { return x_ + dxdy_ * (y - y_); }
    Values valuesAt(double y) const { return plus(values_, dvdy_, y - y_); }

private:
    int wrap(int index) const {
        int count = static_cast<int>(outline_.size());
        return (index + count) % count;
    }

    // A level edge gets no slope: the walk passes over it before reading it.
    void aim() {
        const PolygonVertex& a = outline_[from_];
        const PolygonVertex& b = outline_[to_];
        double height = b.y - a.y;
        x_ = a.x;
        y_ = a.y;
        values_ = a.values;
        dxdy_ = height != 0.0 ? (b.x - a.x) / height : 0.0;
        for (int c = 0; c < 3; ++c) dvdy_[c] = height != 0.0 ? (b.values[c] - a.values[c]) / height : 0.0;
    }

    const std::vector<PolygonVertex>& outline_;
    int step_;
    int from_;
    int to_;
    int moves_ = 0;
    double x_ = 0.0;
    double y_ = 0.0;
    double dxdy_ = 0.0;
    Values values_{};
    Values dvdy_{};
};

// The change of the values per pixel along a row, one for the whole outline:
// at the height of the first of the first three corners that is neither the
// top nor the bottom, its values less those on the line from the top to the
// bottom, over the distance across. Exact for triangles.
Values rowGradient(const std::vector<PolygonVertex>& outline, int top, int bottom) {
    int third = 0;
    while (third == top || third == bottom) ++third;
    const PolygonVertex& high = outline[top];
    const PolygonVertex& low = outline[bottom];
    const PolygonVertex& across = outline[third];
    double along = (across.y - high.y) / (low.y - high.y);
    double dx = across.x - (high.x + (low.x - high.x) * along);
    if (!(std::fabs(dx) > 1e-9)) return {};
    Values gradient{};
    for (int c = 0; c < 3; ++c) {
        double onEdge = high.values[c] + (low.values[c] - high.values[c]) * along;
        gradient[c] = (across.values[c] - onEdge) / dx;
    }
    return gradient;
}

}  // namespace

PolygonFill::PolygonFill(uint32_t* target, int width, int height) : target_(target), width_(width), height_(height) {}

template <class WriteSpan>
void PolygonFill::walk(const std::vector<PolygonVertex>& outline, WriteSpan writeSpan) {
    int count = static_cast<int>(outline.size());
    if (count < 3 || !target_ || width_ <= 0 || height_ <= 0) return;

    // The corners are picked by their exact rows; for the walk, rows above or
    // below the target all collapse to -1 or height, as it only needs their
    // order and the edges keep their exact coordinates.
    auto rowOf = [&outline](int i) { return std::floor(outline[i].y + 0.5); };
    rows_.resize(count);
    int top = 0;
    int bottom = 0;
    for (int i = 0; i < count; ++i) {
        rows_[i] = clampedRound(outline[i].y, -1, height_);
        if (rowOf(i) < rowOf(top) || (rowOf(i) == rowOf(top) && outline[i].x < outline[top].x)) top = i;
        if (rowOf(i) > rowOf(bottom)) bottom = i;
    }
    if (!(rowOf(bottom) > rowOf(top))) return;
    int secondTop = top;
    for (int i = 0; i < count; ++i) {
        if (rowOf(i) == rowOf(top) && outline[i].x > outline[secondTop].x) secondTop = i;
    }

    Values gradient = rowGradient(outline, top, bottom);
    EdgeCursor forward(outline, top, 1);
    EdgeCursor backward(outline, secondTop, -1);
    int endRow = std::min(rows_[bottom], height_);
    for (int row = std::max(rows_[top], 0); row < endRow; ++row) {
        if (!forward.reach(row, rows_) || !backward.reach(row, rows_)) return;
        double centre = row + 0.5;
        const EdgeCursor* left = &forward;
        const EdgeCursor* right = &backward;
        double leftX = left->xAt(centre);
        double rightX = right->xAt(centre);
        if (rightX < leftX) {
            std::swap(left, right);
            std::swap(leftX, rightX);
        }
        int first = clampedRound(leftX, 0, width_);
        int end = clampedRound(rightX, 0, width_);
        if (end <= first) continue;
        // The left edge's values belong to the span's first pixel, wherever
        // the target cuts the span.
        Values start = plus(left->valuesAt(centre), gradient, first - std::floor(leftX + 0.5));
        writeSpan(target_ + static_cast<std::size_t>(row) * static_cast<std::size_t>(width_), first, end, start,
                  gradient);
    }
}

void PolygonFill::fillFlat(const std::vector<PolygonVertex>& outline, uint32_t pixel) {
    walk(outline, [pixel](uint32_t* row, int first, int end, const Values&, const Values&) {
        std::fill(row + first, row + end, pixel);
    });
}

void PolygonFill::fillPlain(const std::vector<PolygonVertex>& outline, uint32_t pixel) {
    walk(outline, [pixel](uint32_t* row, int first, int end, const Values&, const Values&) {
        for (int x = first; x < end; ++x) row[x] = (row[x] & 0xFF000000u) | (pixel & 0xFFFFFFu);
    });
}

void PolygonFill::fillTranslucent(const std::vector<PolygonVertex>& outline, uint32_t pixel, int newWeight,
                                  int oldWeight) {
    const BlendTable& table = blendTable();
    const auto& fresh = table[std::clamp(newWeight, 0, 255)];
    const auto& below = table[std::clamp(oldWeight, 0, 255)];
    auto mix = [&](uint32_t n, uint32_t o) { return std::min<uint32_t>(255, fresh[n] + below[o]); };
    walk(outline, [&](uint32_t* row, int first, int end, const Values&, const Values&) {
        for (int x = first; x < end; ++x) {
            uint32_t old = row[x];
            row[x] = (old & 0xFF000000u) | pixelWord(mix(redOf(pixel), redOf(old)), mix(greenOf(pixel), greenOf(old)),
                                                     mix(blueOf(pixel), blueOf(old)));
        }
    });
}

void PolygonFill::fillGouraud(const std::vector<PolygonVertex>& outline) {
    walk(outline, [](uint32_t* row, int first, int end, const Values& values, const Values& gradient) {
        // Channels step along the span in 16.16 fixed point, rounded by the
        // half added at the start. Values are held to +-1e6 (NaN to the low
        // end), far from overflowing over any span; the bytes clamp anyway.
        auto fixed = [](double value) {
            return static_cast<int64_t>((value > -1e6 ? std::min(value, 1e6) : -1e6) * 65536.0);
        };
        auto byte = [](int64_t channel) { return static_cast<uint32_t>(std::clamp<int64_t>(channel >> 16, 0, 255)); };
        int64_t red = fixed(values[0]) + 32768;
        int64_t green = fixed(values[1]) + 32768;
        int64_t blue = fixed(values[2]) + 32768;
        int64_t redStep = fixed(gradient[0]);
        int64_t greenStep = fixed(gradient[1]);
        int64_t blueStep = fixed(gradient[2]);
        for (int x = first; x < end; ++x) {
            row[x] = pixelWord(byte(red), byte(green), byte(blue));
            red += redStep;
            green += greenStep;
            blue += blueStep;
        }
    });
}

void PolygonFill::fillTextured(const std::vector<PolygonVertex>& outline, const TextureView& texture) {
    if (!texture.pixels || texture.width <= 0 || texture.height <= 0) return;
    walk(outline, [&texture](uint32_t* row, int first, int end, Values values, const Values& gradient) {
        for (int x = first; x < end; ++x) {
            int u = clampedRound(values[0], 0, texture.width - 1);
            int v = clampedRound(values[1], 0, texture.height - 1);
            row[x] = texture.pixels[static_cast<std::size_t>(v) * static_cast<std::size_t>(texture.width) + u] &
                     0xFFFFFFu;
            values = plus(values, gradient, 1.0);
        }
    });
}

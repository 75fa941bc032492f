#include "framework/render/software_renderer.h"

#include "framework/render/blend_table.h"
#include "framework/render/image.h"
#include "framework/render/pixel_word.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

namespace {
bool isFinite(const PolygonVertex& v) { return std::isfinite(v.x) && std::isfinite(v.y); }
}  // namespace

SoftwareRenderer::SoftwareRenderer(uint32_t* target, uint32_t* secondBuffer, int width, int height)
    : target_(target),
      secondBuffer_(secondBuffer),
      width_(width),
      height_(height),
      clipBox_{7, width - 7, 5, height - 5},
      fill_(target, width, height) {
    // Blending needs the table even where start-up has not built it.
    buildBlendTable();
    rasterizer_.init(target, width, height);
}

void SoftwareRenderer::setTarget(uint32_t* target) {
    target_ = target;
    fill_.setTarget(target);
    rasterizer_.init(target, width_, height_);
    rasterizer_.setMode(smooth_);
}

void SoftwareRenderer::begin(int primitive) {
    vertices_.clear();
    primitive_ = primitive;
}

void SoftwareRenderer::end() {
    if (vertices_.empty()) return;
    switch (primitive_) {
        case Lines: drawLines(); break;
        case Polygon:
        case Polygon8:
        case Polygon16: drawOutline(); break;
        default: break;
    }
}

void SoftwareRenderer::clear(float, float, float) { throw 0; }

void SoftwareRenderer::vertex(float x, float y, float) { vertices_.push_back({x, y, {red_, green_, blue_}}); }

void SoftwareRenderer::color(float r, float g, float b, float) {
    red_ = r * 255.0f;
    green_ = g * 255.0f;
    blue_ = b * 255.0f;
}

void SoftwareRenderer::texCoord(float, float) { throw 0; }

void SoftwareRenderer::setSmooth(bool on) {
    smooth_ = on;
    rasterizer_.setMode(on);
}

void SoftwareRenderer::setTexture(Image* image) {
    texture_ = image ? TextureView{image->getPixels(), image->getWidth(), image->getHeight()} : TextureView{};
}

float SoftwareRenderer::lineWidth() { throw 0; }

void SoftwareRenderer::setLineWidth(float) { throw 0; }

uint32_t SoftwareRenderer::colorWord() const {
    return pixelWord(roundToByte(red_), roundToByte(green_), roundToByte(blue_));
}

void SoftwareRenderer::putPixel(int x, int y) {
    if (!target_ || x < 0 || x >= width_ || y < 0 || y >= height_) return;
    uint32_t& pixel = target_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + x];
    pixel = (pixel & 0xFF000000u) | colorWord();
}

void SoftwareRenderer::blendPixel(int x, int y, double coverage) {
    if (!target_ || x < 0 || x >= width_ || y < 0 || y >= height_) return;
    const BlendTable& table = blendTable();
    int k = std::clamp(static_cast<int>(coverage * 255.0), 0, 255);
    int j = std::clamp(static_cast<int>(255.0 - coverage * 255.0), 0, 255);
    uint32_t& pixel = target_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + x];
    uint32_t fresh = colorWord();
    auto mix = [&](uint32_t n, uint32_t o) -> uint32_t { return table[k][n] + table[j][o]; };
    pixel = (pixel & 0xFF000000u) |
            pixelWord(mix(redOf(fresh), redOf(pixel)), mix(greenOf(fresh), greenOf(pixel)),
                      mix(blueOf(fresh), blueOf(pixel)));
}

void SoftwareRenderer::drawLines() {
    for (std::size_t i = 0; i + 1 < vertices_.size(); i += 2) {
        const PolygonVertex& p = vertices_[i];
        const PolygonVertex& q = vertices_[i + 1];
        if (!isFinite(p) || !isFinite(q)) continue;
        SegmentEnd from{p.x, p.y, 0.0};
        SegmentEnd to{q.x, q.y, 1.0};
        if (clipEnabled_ && !clipSegment(clipBox_, from, to)) continue;
        if (rasterizerLines_) {
            auto end = [this](const SegmentEnd& at) {
                return RasterVertex{static_cast<float>(at.x), static_cast<float>(at.y), red_ / 255.0f,
                                    green_ / 255.0f, blue_ / 255.0f, 1.0f};
            };
            rasterizer_.drawLine(end(from), end(to));
        } else {
            drawLine(from.x, from.y, to.x, to.y);
        }
    }
}

// Walks the major axis one pixel at a time from the rounded start to the
// rounded end; only the stretch over the target is walked, however long the
// line.
void SoftwareRenderer::drawLine(double x0, double y0, double x1, double y1) {
    bool steep = std::fabs(x1 - x0) <= std::fabs(y1 - y0);
    double majorStart = steep ? y0 : x0;
    double minorStart = steep ? x0 : y0;
    double majorEnd = steep ? y1 : x1;
    double minorEnd = steep ? x1 : y1;
    if (majorEnd < majorStart) {
        std::swap(majorStart, majorEnd);
        std::swap(minorStart, minorEnd);
    }
    double slope = majorEnd > majorStart ? (minorEnd - minorStart) / (majorEnd - majorStart) : 0.0;
    int majorSize = steep ? height_ : width_;
    int minorSize = steep ? width_ : height_;

    auto blendAt = [&](int major, int minor, double coverage) {
        if (steep) {
            blendPixel(minor, major, coverage);
        } else {
            blendPixel(major, minor, coverage);
        }
    };
    int first = clampedRound(majorStart, 0, majorSize);
    int last = clampedRound(majorEnd, -1, majorSize - 1);
    for (int major = first; major <= last; ++major) {
        double minor = minorStart + slope * (major - majorStart);
        int centre = clampedRound(minor, -2, minorSize + 1);
        if (steep) {
            putPixel(centre, major);
        } else {
            putPixel(major, centre);
        }
        if (smooth_) {
            // The share of the pixel before the line's own; the one after
            // gets the rest.
            double before = std::clamp(centre - minor + 0.5, 0.0, 1.0);
            blendAt(major, centre - 1, before);
            blendAt(major, centre + 1, 1.0 - before);
        }
    }
}

void SoftwareRenderer::drawOutline() {
    if (!std::all_of(vertices_.begin(), vertices_.end(), isFinite)) return;
    outline_ = vertices_;
    bool textured = primitive_ == Polygon16 && texture_.pixels;
    if (textured) mapTexture();
    if (clipEnabled_) clipPolygon(clipBox_, outline_, scratch_);
    if (textured) {
        fill_.fillTextured(outline_, texture_);
    } else if (primitive_ == Polygon8) {
        fill_.fillGouraud(outline_);
    } else if (flatSpans_ == FlatSpans::Plain) {
        fill_.fillPlain(outline_, colorWord());
    } else if (flatSpans_ == FlatSpans::Translucent) {
        fill_.fillTranslucent(outline_, colorWord(), newWeight_, oldWeight_);
    } else {
        fill_.fillFlat(outline_, colorWord());
    }
}

// Stretches the texture over the outline's bounding box, with each texel's
// centre where its share of the box has its centre.
void SoftwareRenderer::mapTexture() {
    auto [left, right] = std::minmax_element(outline_.begin(), outline_.end(),
                                             [](const PolygonVertex& a, const PolygonVertex& b) { return a.x < b.x; });
    auto [top, bottom] = std::minmax_element(outline_.begin(), outline_.end(),
                                             [](const PolygonVertex& a, const PolygonVertex& b) { return a.y < b.y; });
    double minX = left->x;
    double minY = top->y;
    double spanX = right->x - minX;
    double spanY = bottom->y - minY;
    for (PolygonVertex& corner : outline_) {
        double u = spanX > 0.0 ? (corner.x - minX) / spanX * texture_.width : 0.0;
        double v = spanY > 0.0 ? (corner.y - minY) / spanY * texture_.height : 0.0;
        corner.values = {u - 0.5, v - 0.5, 0.0};
    }
}

#include "tools/show_data/scrap_images.h"

#include "tools/show_data/seeded_draws.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace show_data {
namespace {

constexpr float kTwoPi = 6.2831853f;
constexpr int kSubRows = 4;
constexpr int kTearDepth = 5;

struct Point {
    float x = 0.0f;
    float y = 0.0f;
};

Point operator+(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }
Point operator-(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }
Point operator*(Point a, float k) { return {a.x * k, a.y * k}; }

using Draws = SeededDraws;

// A square of floats, one per pixel.
class Plane {
public:
    explicit Plane(int size) : size_(size), values_(static_cast<std::size_t>(size) * size) {}
    int size() const { return size_; }
    float& at(int x, int y) { return values_[static_cast<std::size_t>(y) * size_ + x]; }
    float at(int x, int y) const { return values_[static_cast<std::size_t>(y) * size_ + x]; }

    // Each value the mean of its 3x3 neighbourhood, edges repeated.
    Plane blurred() const {
        Plane out(size_);
        for (int y = 0; y < size_; ++y) {
            for (int x = 0; x < size_; ++x) {
                float sum = 0.0f;
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx) {
                        sum += at(std::clamp(x + dx, 0, size_ - 1), std::clamp(y + dy, 0, size_ - 1));
                    }
                }
                out.at(x, y) = sum / 9.0f;
            }
        }
        return out;
    }

private:
    int size_;
    std::vector<float> values_;
};

// The edge from a to b torn: its midpoint pushed sideways by up to
// `roughness` of its length, again and again. Appends every point but b.
void tear(Point a, Point b, int depth, float roughness, Draws& draws, std::vector<Point>& out) {
    if (depth == 0) {
        out.push_back(a);
        return;
    }
    const Point d = b - a;
    const Point middle = (a + b) * 0.5f + Point{-d.y, d.x} * draws.between(-roughness, roughness);
    tear(a, middle, depth - 1, roughness, draws, out);
    tear(middle, b, depth - 1, roughness, draws, out);
}

// The piece's torn outline around the square's centre.
std::vector<Point> outline(int size, bool shard, Draws& draws) {
    const int corners = shard ? 3 + (draws.unit() < 0.4f) : 5 + static_cast<int>(draws.unit() * 3.0f);
    const float base = draws.unit() * kTwoPi;
    const float half = 0.5f * static_cast<float>(size);
    std::vector<Point> cornerPoints;
    for (int i = 0; i < corners; ++i) {
        const float angle = base + kTwoPi * (static_cast<float>(i) + draws.between(-0.3f, 0.3f)) / corners;
        const float radius = half * (shard ? draws.between(0.65f, 0.95f) : draws.between(0.68f, 0.88f));
        cornerPoints.push_back({half + std::cos(angle) * radius, half + std::sin(angle) * radius});
    }
    std::vector<Point> torn;
    for (int i = 0; i < corners; ++i) {
        tear(cornerPoints[i], cornerPoints[(i + 1) % corners], kTearDepth, shard ? 0.05f : 0.12f, draws, torn);
    }
    for (Point& p : torn) p = {std::clamp(p.x, 1.0f, size - 1.0f), std::clamp(p.y, 1.0f, size - 1.0f)};
    return torn;
}

// How much of each pixel lies inside the outline: spans between the
// outline's crossings of a few rows per pixel.
Plane coverage(const std::vector<Point>& shape, int size) {
    Plane cover(size);
    std::vector<float> crossings;
    for (int row = 0; row < size * kSubRows; ++row) {
        const float y = (static_cast<float>(row) + 0.5f) / kSubRows;
        crossings.clear();
        for (std::size_t i = 0; i < shape.size(); ++i) {
            const Point a = shape[i];
            const Point b = shape[(i + 1) % shape.size()];
            if ((a.y <= y) != (b.y <= y)) crossings.push_back(a.x + (y - a.y) / (b.y - a.y) * (b.x - a.x));
        }
        std::sort(crossings.begin(), crossings.end());
        const int py = row / kSubRows;
        for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
            const float x0 = std::clamp(crossings[i], 0.0f, static_cast<float>(size));
            const float x1 = std::clamp(crossings[i + 1], 0.0f, static_cast<float>(size));
            for (int px = static_cast<int>(x0); px < size && static_cast<float>(px) < x1; ++px) {
                const float inside = std::min(x1, px + 1.0f) - std::max(x0, static_cast<float>(px));
                cover.at(px, py) += std::max(inside, 0.0f) / kSubRows;
            }
        }
    }
    return cover;
}

// Graphite laid onto an ink plane (0 bare paper, 1 black).
class Pencil {
public:
    explicit Pencil(Plane& ink) : ink_(ink) {}

    void line(Point a, Point b, float width, float strength) {
        const int size = ink_.size();
        const float reach = width / 2 + 1.0f;
        const int x0 = std::max(0, static_cast<int>(std::floor(std::min(a.x, b.x) - reach)));
        const int x1 = std::min(size - 1, static_cast<int>(std::ceil(std::max(a.x, b.x) + reach)));
        const int y0 = std::max(0, static_cast<int>(std::floor(std::min(a.y, b.y) - reach)));
        const int y1 = std::min(size - 1, static_cast<int>(std::ceil(std::max(a.y, b.y) + reach)));
        const Point d = b - a;
        const float lengthSquared = std::max(d.x * d.x + d.y * d.y, 1e-6f);
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const Point p{x + 0.5f, y + 0.5f};
                const float t = std::clamp(((p.x - a.x) * d.x + (p.y - a.y) * d.y) / lengthSquared, 0.0f, 1.0f);
                const Point off = p - (a + d * t);
                const float distance = std::sqrt(off.x * off.x + off.y * off.y);
                const float cover = std::clamp(width / 2 + 0.5f - distance, 0.0f, 1.0f) * strength;
                float& ink = ink_.at(x, y);
                ink = 1.0f - (1.0f - ink) * (1.0f - cover);
            }
        }
    }

    void path(const std::vector<Point>& points, float width, float strength) {
        for (std::size_t i = 0; i + 1 < points.size(); ++i) line(points[i], points[i + 1], width, strength);
    }

private:
    Plane& ink_;
};

// Parallel strokes of uneven length across the piece.
void hatch(Pencil& pencil, int size, float angle, float strength, Draws& draws) {
    const Point along{std::cos(angle), std::sin(angle)};
    const Point across{-along.y, along.x};
    const Point centre{size / 2.0f, size / 2.0f};
    const float spacing = std::max(2.5f, size / 18.0f);
    for (float t = -0.6f * size; t < 0.6f * size; t += spacing * draws.between(0.8f, 1.3f)) {
        const Point middle = centre + across * t + along * (draws.between(-0.2f, 0.2f) * size);
        const float half = draws.between(0.15f, 0.45f) * size;
        const Point wobble = across * draws.between(-1.0f, 1.0f);
        pencil.line(middle - along * half, middle + along * half + wobble, draws.between(0.7f, 1.1f),
                    strength * draws.between(0.6f, 1.0f));
    }
}

// Faint lines as on writing paper, with a few lines of hurried handwriting.
void rule(Pencil& pencil, int size, Draws& draws) {
    const float tilt = draws.between(-0.08f, 0.08f);
    const float gap = std::max(5.0f, size / 8.0f);
    for (float y = draws.between(0.0f, gap); y < size; y += gap) {
        pencil.line({0.0f, y}, {static_cast<float>(size), y + tilt * size}, 0.6f, 0.22f);
        if (draws.unit() < 0.4f) continue;
        // Words of hurried loops with the pen lifted between them.
        float x = draws.between(2.0f, size * 0.3f);
        const float end = draws.between(size * 0.6f, size - 2.0f);
        while (x < end) {
            const float wordEnd = std::min(end, x + draws.between(5.0f, 15.0f));
            const float height = draws.between(1.2f, 2.6f);
            std::vector<Point> word;
            for (float phase = draws.between(0.0f, kTwoPi); x < wordEnd; x += 0.6f, phase += draws.between(0.4f, 1.2f)) {
                word.push_back({x, y + tilt * x - 1.0f - height * std::abs(std::sin(phase))});
            }
            pencil.path(word, 0.7f, 0.55f);
            x += draws.between(2.0f, 4.0f);
        }
    }
}

// Squared paper with a line plotted across it.
void grid(Pencil& pencil, int size, Draws& draws) {
    const float gap = std::max(4.0f, size / 10.0f);
    const float s = static_cast<float>(size);
    for (float v = draws.between(0.0f, gap); v < size; v += gap) {
        pencil.line({v, 0.0f}, {v, s}, 0.5f, 0.18f);
        pencil.line({0.0f, v}, {s, v}, 0.5f, 0.18f);
    }
    std::vector<Point> plot;
    float y = draws.between(0.3f, 0.7f) * s;
    for (float x = 0.0f; x < s; x += gap) {
        plot.push_back({x, y});
        y = std::clamp(y + draws.between(-1.5f, 1.5f) * gap, 0.15f * s, 0.85f * s);
    }
    pencil.path(plot, 1.0f, 0.65f);
}

// A restless line that loops back on itself.
void scribble(Pencil& pencil, int size, float strength, Draws& draws) {
    const float s = static_cast<float>(size);
    Point at{draws.between(0.3f, 0.7f) * s, draws.between(0.3f, 0.7f) * s};
    float heading = draws.unit() * kTwoPi;
    float turn = 0.0f;
    std::vector<Point> line{at};
    const int steps = size * 3;
    for (int i = 0; i < steps; ++i) {
        turn = std::clamp(turn + draws.between(-0.12f, 0.12f), -0.45f, 0.45f);
        heading += turn;
        at = at + Point{std::cos(heading), std::sin(heading)} * 1.5f;
        // Turned back toward the middle near the edges.
        if (at.x < 0.1f * s || at.x > 0.9f * s || at.y < 0.1f * s || at.y > 0.9f * s) heading += 0.5f;
        line.push_back(at);
    }
    pencil.path(line, 0.8f, strength);
}

// Sketchy circles, each gone over two or three times.
void rings(Pencil& pencil, int size, Draws& draws) {
    const float s = static_cast<float>(size);
    const int count = 2 + static_cast<int>(draws.unit() * 3.0f);
    for (int ring = 0; ring < count; ++ring) {
        const Point centre{draws.between(0.25f, 0.75f) * s, draws.between(0.25f, 0.75f) * s};
        const float radius = draws.between(0.08f, 0.3f) * s;
        const int passes = 2 + (draws.unit() < 0.5f);
        for (int pass = 0; pass < passes; ++pass) {
            std::vector<Point> circle;
            const float r = radius * draws.between(0.9f, 1.1f);
            const float squash = draws.between(0.8f, 1.0f);
            const float start = draws.unit() * kTwoPi;
            for (float a = 0.0f; a < kTwoPi * 1.05f; a += 0.2f) {
                circle.push_back(centre + Point{std::cos(start + a) * r, std::sin(start + a) * r * squash});
            }
            pencil.path(circle, 0.8f, 0.5f);
        }
    }
}

void drawMarks(Pencil& pencil, int size, bool shard, ScrapMarks marks, Draws& draws) {
    const float strength = shard ? 0.75f : 0.55f;
    switch (marks) {
        case ScrapMarks::Hatching: hatch(pencil, size, draws.unit() * kTwoPi, strength, draws); break;
        case ScrapMarks::CrossHatching: {
            const float angle = draws.unit() * kTwoPi;
            hatch(pencil, size, angle, strength, draws);
            hatch(pencil, size, angle + draws.between(1.2f, 1.9f), strength, draws);
            break;
        }
        case ScrapMarks::Ruled: rule(pencil, size, draws); break;
        case ScrapMarks::Grid: grid(pencil, size, draws); break;
        case ScrapMarks::Scribble: scribble(pencil, size, strength, draws); break;
        case ScrapMarks::Rings: rings(pencil, size, draws); break;
    }
}

// Loose fibres standing out of the tear, a pixel or three long.
Plane fibres(const std::vector<Point>& shape, int size, Draws& draws) {
    Plane hairs(size);
    Pencil pencil(hairs);
    const Point centre{size / 2.0f, size / 2.0f};
    const float scale = size / 64.0f;
    const std::size_t step = size < 64 ? 6 : 3;
    for (std::size_t i = 0; i < shape.size(); i += step) {
        if (draws.unit() < 0.5f) continue;
        const Point out = shape[i] - centre;
        const float angle = std::atan2(out.y, out.x) + draws.between(-0.8f, 0.8f);
        const float length = std::max(0.7f, draws.between(1.0f, 3.5f) * scale);
        pencil.line(shape[i], shape[i] + Point{std::cos(angle), std::sin(angle)} * length, 0.6f,
                    draws.between(0.3f, 0.6f));
    }
    return hairs;
}

uint8_t toByte(float unit) { return static_cast<uint8_t>(std::lround(std::clamp(unit, 0.0f, 1.0f) * 255.0f)); }

}  // namespace

PngImage scrapImage(int size, bool shard, ScrapMarks marks, uint32_t seed) {
    Draws draws(seed);
    const std::vector<Point> shape = outline(size, shard, draws);
    const Plane cover = coverage(shape, size);
    const Plane nearEdge = cover.blurred();
    const Plane hairs = fibres(shape, size, draws);
    Plane grain(size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) grain.at(x, y) = draws.unit();
    }
    grain = grain.blurred();
    Plane ink(size);
    Pencil pencil(ink);
    drawMarks(pencil, size, shard, marks, draws);

    PngImage image(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            // The tear bares the paper's whiter core.
            const float rim = cover.at(x, y) > 0.0f ? std::clamp((1.0f - nearEdge.at(x, y)) * 2.0f, 0.0f, 1.0f) : 1.0f;
            const float paper = std::min(1.0f, 0.88f + 0.08f * grain.at(x, y) + 0.08f * rim);
            const float graphite = 1.0f - 0.78f * ink.at(x, y) * (0.75f + 0.5f * grain.at(x, y));
            uint8_t* p = image.pixel(x, y);
            p[0] = toByte(paper * graphite);
            p[1] = toByte(paper * graphite);
            // Graphite shines a little blue.
            p[2] = toByte(paper * (graphite + 0.06f * (1.0f - graphite)));
            p[3] = toByte(std::max(cover.at(x, y), hairs.at(x, y)));
        }
    }
    return image;
}

void writeScrapImages(const std::filesystem::path& folder) {
    const std::filesystem::path scraps = folder / "skrotbitar";
    writePng(scraps / "standard" / "texture4.png", scrapImage(64, false, ScrapMarks::Hatching, 4));

    struct Scrap {
        int size;
        ScrapMarks marks;
    };
    using enum ScrapMarks;
    static constexpr std::array<Scrap, 15> pile{{
        {64, Ruled}, {64, Scribble}, {64, Hatching}, {32, Rings}, {128, Ruled},
        {64, Grid}, {64, CrossHatching}, {32, Scribble}, {64, Rings}, {64, Hatching},
        {64, Ruled}, {128, Scribble}, {32, Hatching}, {64, Grid}, {64, CrossHatching},
    }};
    for (std::size_t i = 0; i < pile.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        writePng(scraps / "new" / (std::to_string(number) + ".png"),
                 scrapImage(pile[i].size, false, pile[i].marks, 100 + static_cast<uint32_t>(number)));
    }
    static constexpr std::array<Scrap, 7> shards{{
        {64, Hatching}, {32, Scribble}, {64, CrossHatching}, {32, Hatching},
        {64, Scribble}, {32, CrossHatching}, {64, Rings},
    }};
    for (std::size_t i = 0; i < shards.size(); ++i) {
        const int number = static_cast<int>(i) + 18;
        writePng(scraps / "new" / "supernew" / (std::to_string(number) + ".png"),
                 scrapImage(shards[i].size, true, shards[i].marks, 100 + static_cast<uint32_t>(number)));
    }
}

}  // namespace show_data

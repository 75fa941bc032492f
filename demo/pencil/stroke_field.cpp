#include "demo/pencil/stroke_field.h"

#include "engine/core/exception.h"
#include "figures/random.h"
#include "framework/render/image.h"

#include <algorithm>
#include <cmath>

namespace {

// The walk that places stroke starts, shared by every field and continued
// across fills; it sweeps a little beyond the screen on every side.
int walkX = -100;
int walkY = -100;

constexpr int kWalkStart = -100;
constexpr int kWalkEndX = 740;
constexpr int kWalkEndY = 580;
constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;

// The map is read over the screen's area, or over its own when smaller.
int mapColumns(const Image& map) { return std::min(kScreenWidth, map.getWidth()); }
int mapRows(const Image& map) { return std::min(kScreenHeight, map.getHeight()); }

int redAt(const Image& map, int x, int y) {
    const uint32_t argb = map.getPixels()[static_cast<std::size_t>(y) * map.getWidth() + x];
    return static_cast<int>((argb >> 16) & 0xFF);
}

// The largest threshold a random draw below `threshold` can give.
float largestDraw(float threshold) { return threshold * 0.9999f; }

bool hasRoomForStrokes(const Image& map, float threshold) {
    const float limit = largestDraw(threshold);
    for (int y = 0; y < mapRows(map); ++y) {
        for (int x = 0; x < mapColumns(map); ++x) {
            if (static_cast<float>(redAt(map, x, y)) < limit) return true;
        }
    }
    return false;
}

int walkStep() { return static_cast<int>(randomRange(0, 100)); }

Vec2 randomScreenPoint() {
    const int y = nextRandom() % kScreenHeight;
    const int x = nextRandom() % kScreenWidth;
    return {static_cast<float>(x), static_cast<float>(y)};
}

}  // namespace

StrokeField::StrokeField(bool vignette) : vignette_(vignette) {}

void StrokeField::fill(const Image* map, int tries, float threshold) {
    map_ = map;
    // Only a vignette field ignores what the map holds.
    if (map != nullptr && !vignette_ && !hasRoomForStrokes(*map, threshold)) {
        ZENTAC_THROW("Tolerance map has no place dark enough for its strokes");
    }
    for (int i = 0; i < tries; ++i) placeStroke(threshold);
}

void StrokeField::placeStroke(float threshold) {
    float t = 0;
    do {
        walkX += walkStep();
        walkY += walkStep();
        if (walkX >= kWalkEndX) walkX = kWalkStart;
        if (walkY >= kWalkEndY) walkY = kWalkStart;
        t = randomRange(0, threshold);
        start_ = {static_cast<float>(walkX), static_cast<float>(walkY)};
    } while (!accepts(map_, start_, t));
    float u = 0;
    do {
        const int ex = walkX + static_cast<int>(randomRange(-100, 100));
        const int ey = walkY + static_cast<int>(randomRange(-100, 100));
        u = randomRange(0, 255);
        end_ = {static_cast<float>(ex), static_cast<float>(ey)};
    } while (!accepts(map_, end_, u));
    starts_.push_back(start_);
    ends_.push_back(end_);
    starts_.push_back(randomScreenPoint());
    ends_.push_back(randomScreenPoint());
}

bool StrokeField::accepts(const Image* map, Vec2 point, float t) const {
    if (map == nullptr) return true;
    if (vignette_) {
        const float dx = point.x - 320.0f;
        const float dy = point.y - 240.0f;
        const float r = std::sqrt(dx * dx + dy * dy);
        const float edge = randomRange(270, 350);
        return r <= edge ? oneIn(5) : true;
    }
    // An empty map has no dark place.
    if (mapColumns(*map) < 1 || mapRows(*map) < 1) return false;
    const int x = std::clamp(static_cast<int>(point.x), 0, mapColumns(*map) - 1);
    const int y = std::clamp(static_cast<int>(point.y), 0, mapRows(*map) - 1);
    return static_cast<float>(redAt(*map, x, y)) < t;
}

void StrokeField::next() {
    if (cursor_ >= starts_.size()) return;
    start_ = starts_[cursor_];
    end_ = ends_[cursor_];
    ++cursor_;
}

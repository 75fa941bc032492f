#include "demo/pencil/stroke_field.h"

#include "engine/core/exception.h"
#include "figures/random.h"
#include "framework/render/image.h"

#include <algorithm>
#include <cmath>
#include <sstream>

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
// Ends are accepted against a random threshold below this.
constexpr float kEndThreshold = 255;
// The places a fill guided by a map may try: a reserve, and so many per
// stroke more. The show's maps take about three per stroke; one with a
// handful of dark pixels would keep the walk going for many thousands.
constexpr int64_t kSearchReserve = 4096;
constexpr int64_t kSearchesPerTry = 16;

// The map is read over the screen's area, or over its own when smaller.
int mapColumns(const Image& map) { return std::min(kScreenWidth, map.getWidth()); }
int mapRows(const Image& map) { return std::min(kScreenHeight, map.getHeight()); }

int redAt(const Image& map, int x, int y) {
    const uint32_t argb = map.getPixels()[static_cast<std::size_t>(y) * map.getWidth() + x];
    return static_cast<int>((argb >> 16) & 0xFF);
}

// The largest threshold a random draw below `threshold` can give.
float largestDraw(float threshold) { return threshold * 0.9999f; }

// The places some draw accepts both as a start and as an end.
std::vector<Vec2> darkPlacesOf(const Image& map, float threshold) {
    const float limit = largestDraw(std::min(threshold, kEndThreshold));
    std::vector<Vec2> places;
    for (int y = 0; y < mapRows(map); ++y) {
        for (int x = 0; x < mapColumns(map); ++x) {
            if (static_cast<float>(redAt(map, x, y)) < limit) {
                places.push_back({static_cast<float>(x), static_cast<float>(y)});
            }
        }
    }
    return places;
}

// A place of a stroke in 16 bits; one that does not fit would be drawn
// elsewhere, so it stops the fill.
int16_t keptPlace(float place) {
    if (place != std::trunc(place) || place < INT16_MIN || place > INT16_MAX) {
        std::ostringstream message;
        message << "Stroke place " << place << " is not a whole number from " << INT16_MIN << " to " << INT16_MAX;
        ZENTAC_THROW(message.str().c_str());
    }
    return static_cast<int16_t>(place);
}

int walkStep() { return static_cast<int>(randomRange(0, 100)); }

Vec2 randomScreenPoint() {
    const int y = nextRandom() % kScreenHeight;
    const int x = nextRandom() % kScreenWidth;
    return {static_cast<float>(x), static_cast<float>(y)};
}

}  // namespace

StrokeField::StrokeField(bool vignette, std::size_t largestUse) : vignette_(vignette), largestUse_(largestUse) {}

void StrokeField::fill(const Image* map, const std::string& mapName, int tries, float threshold) {
    map_ = map;
    // Only a vignette field ignores what the map holds.
    if (map != nullptr && !vignette_) {
        darkPlaces_ = darkPlacesOf(*map, threshold);
        searchBudget_ = kSearchReserve + kSearchesPerTry * std::max(tries, 0);
        if (darkPlaces_.empty()) {
            std::ostringstream message;
            message << "Tolerance map '" << mapName << "' has no place dark enough for strokes below " << threshold;
            ZENTAC_THROW(message.str().c_str());
        }
    }
    pairs_.reserve(std::min(largestUse_, pairs_.size() + 2 * static_cast<std::size_t>(std::max(tries, 0))));
    for (int i = 0; i < tries; ++i) placeStroke(threshold);
    darkPlaces_ = {};
}

void StrokeField::placeStroke(float threshold) {
    if (!searchStart(threshold)) start_ = pickDarkPlace();
    if (!searchEnd()) end_ = start_;
    keep(start_, end_);
    const Vec2 anyStart = randomScreenPoint();
    keep(anyStart, randomScreenPoint());
}

// Strokes past the largest use are still placed, as their random draws are
// part of the shared sequence, but not kept.
void StrokeField::keep(Vec2 start, Vec2 end) {
    if (pairs_.size() >= largestUse_) return;
    pairs_.push_back({keptPlace(start.x), keptPlace(start.y), keptPlace(end.x), keptPlace(end.y)});
}

bool StrokeField::searchStart(float threshold) {
    while (mayTryPlace()) {
        walkX += walkStep();
        walkY += walkStep();
        if (walkX >= kWalkEndX) walkX = kWalkStart;
        if (walkY >= kWalkEndY) walkY = kWalkStart;
        const float t = randomRange(0, threshold);
        start_ = {static_cast<float>(walkX), static_cast<float>(walkY)};
        if (accepts(map_, start_, t)) return true;
    }
    return false;
}

// Ends lie within 99 units of the start in each direction.
bool StrokeField::searchEnd() {
    const int fromX = static_cast<int>(start_.x);
    const int fromY = static_cast<int>(start_.y);
    while (mayTryPlace()) {
        const int ex = fromX + static_cast<int>(randomRange(-100, 100));
        const int ey = fromY + static_cast<int>(randomRange(-100, 100));
        const float u = randomRange(0, kEndThreshold);
        end_ = {static_cast<float>(ex), static_cast<float>(ey)};
        if (accepts(map_, end_, u)) return true;
    }
    return false;
}

// Without a map every place is taken, and a vignette takes at least one in
// five: only a map's search is held to the budget.
bool StrokeField::mayTryPlace() {
    if (darkPlaces_.empty()) return true;
    if (searchBudget_ == 0) return false;
    --searchBudget_;
    return true;
}

Vec2 StrokeField::pickDarkPlace() const {
    // Two draws: a map has more places than one draw can tell apart.
    const uint32_t high = static_cast<uint32_t>(nextRandom());
    const uint32_t low = static_cast<uint32_t>(nextRandom());
    return darkPlaces_[((high << 15) | low) % darkPlaces_.size()];
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
    if (cursor_ >= pairs_.size()) return;
    const KeptStroke& stroke = pairs_[cursor_];
    start_ = {static_cast<float>(stroke.startX), static_cast<float>(stroke.startY)};
    end_ = {static_cast<float>(stroke.endX), static_cast<float>(stroke.endY)};
    ++cursor_;
}

#pragma once

#include "figures/vec2.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class Image;

// Precomputed stroke positions, handed out one pair per drawn stroke. A
// random walk shared by every field of the program places the starts; a
// tolerance map (dark where strokes may go) or a vignette around the screen
// centre decides which places are taken.
class StrokeField {
public:
    // Keeps no more than the first `largestUse` strokes of its fills: the
    // layer it feeds never takes more.
    explicit StrokeField(bool vignette, std::size_t largestUse = SIZE_MAX);

    // Adds two strokes per try: one accepted by `map` (accept all when null)
    // against a random threshold below `threshold`, and one anywhere on the
    // screen. The search along the walk has a budget of places per fill;
    // past it a stroke starts at a random place dark enough and ends where it
    // starts, so a map with few dark places still fills at once. Throws
    // zentac::Exception naming `mapName` when the map has no such place.
    void fill(const Image* map, const std::string& mapName, int tries, float threshold);
    // Takes the next pair; after the last one the last pair stays current.
    void next();

    Vec2 start() const { return start_; }
    Vec2 end() const { return end_; }
    // The strokes kept.
    std::size_t size() const { return pairs_.size(); }

    // Whether a stroke may start or end at `point`: where the map's red byte
    // is below `t`, or, with a vignette (and any map), always beyond a
    // random radius around the centre and one time in five within it.
    bool accepts(const Image* map, Vec2 point, float t) const;

private:
    void placeStroke(float threshold);
    bool searchStart(float threshold);
    bool searchEnd();
    bool mayTryPlace();
    Vec2 pickDarkPlace() const;
    void keep(Vec2 start, Vec2 end);

    // A stroke as the field keeps it, in whole units: the walk, its steps,
    // screen points and map pixels are all whole, and lie within -199 to
    // 838 across and -199 to 678 down. Two million strokes of the shading
    // field take 16 MB so.
    struct KeptStroke {
        int16_t startX;
        int16_t startY;
        int16_t endX;
        int16_t endY;
    };

    const Image* map_ = nullptr;
    // While a map decides a fill: the places it takes both as a start and
    // as an end, and how many more the walk may try.
    std::vector<Vec2> darkPlaces_;
    int64_t searchBudget_ = 0;
    Vec2 start_;
    Vec2 end_;
    std::vector<KeptStroke> pairs_;
    bool vignette_;
    std::size_t largestUse_;
    std::size_t cursor_ = 0;
};

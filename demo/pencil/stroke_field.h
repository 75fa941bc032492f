#pragma once

#include "figures/vec2.h"

#include <cstddef>
#include <vector>

class Image;

// Precomputed stroke positions, handed out one pair per drawn stroke. A
// random walk shared by every field of the program places the starts; a
// tolerance map (dark where strokes may go) or a vignette around the screen
// centre decides which places are taken.
class StrokeField {
public:
    explicit StrokeField(bool vignette);

    // Adds two strokes per try: one accepted by `map` (accept all when null)
    // against a random threshold below `threshold`, and one anywhere on the
    // screen. Throws zentac::Exception when the map has no place dark enough,
    // as the search could never end.
    void fill(const Image* map, int tries, float threshold);
    // Takes the next pair; after the last one the last pair stays current.
    void next();

    Vec2 start() const { return start_; }
    Vec2 end() const { return end_; }
    std::size_t size() const { return starts_.size(); }

    // Whether a stroke may start or end at `point`: where the map's red byte
    // is below `t`, or, with a vignette (and any map), always beyond a
    // random radius around the centre and one time in five within it.
    bool accepts(const Image* map, Vec2 point, float t) const;

private:
    void placeStroke(float threshold);

    const Image* map_ = nullptr;
    Vec2 start_;
    Vec2 end_;
    std::vector<Vec2> starts_;
    std::vector<Vec2> ends_;
    bool vignette_;
    std::size_t cursor_ = 0;
};

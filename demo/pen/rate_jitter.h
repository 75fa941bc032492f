#pragma once

#include "demo/shared/vec3.h"

#include <array>
#include <cstdint>

class PointNode;
class RandomSequence;

// The wiggle of one pen segment: 30 to 50 points along it, most of them
// pushed off the straight line by a fixed random amount, so the segment
// looks drawn by hand. Drawn once when the segment is made and kept for
// good, in room for the most points kept in the segment itself.
class RateJitter {
public:
    static constexpr int kMostPoints = 50;

    explicit RateJitter(RandomSequence& random);

    int count() const { return count_; }
    // Wiggle point i between the screen positions of from and to, pushed
    // off by width times its offset.
    Vec3 point(int i, const PointNode& from, const PointNode& to, float width) const;

private:
    // An offset is kept as the step of its draw, and kNoOffset for a point
    // left on the line: a point takes 8 bytes instead of 12.
    static constexpr uint16_t kNoOffset = 10000;

    struct Wiggle {
        float t;      // place along the segment, 0 <= t < 1
        uint16_t ox;  // offsets in [-1, 1]; z is always pushed by a whole width
        uint16_t oy;
    };

    std::array<Wiggle, kMostPoints> wiggles_;
    int count_ = 0;
};

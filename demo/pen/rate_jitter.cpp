#include "demo/pen/rate_jitter.h"

#include "demo/pen/point_node.h"
#include "figures/random.h"

namespace {

// The offset of every step, and none past the last step.
const std::array<float, RandomSequence::kSteps + 1> kOffsets = [] {
    std::array<float, RandomSequence::kSteps + 1> offsets{};
    for (int step = 0; step < RandomSequence::kSteps; ++step) {
        offsets[static_cast<std::size_t>(step)] = RandomSequence::rangeAt(step, -1.0f, 1.0f);
    }
    return offsets;
}();

}  // namespace

RateJitter::RateJitter(RandomSequence& random) {
    // n < 50, so there are at most 50 points.
    const float n = random.range(30.0f, 50.0f);
    const float step = 1.0f / n;
    float t = 0.0f;
    for (; count_ < kMostPoints && static_cast<float>(count_) < n; ++count_) {
        Wiggle& wiggle = wiggles_[static_cast<std::size_t>(count_)];
        wiggle = {t, kNoOffset, kNoOffset};
        if (random.next() % 3 != 0) {
            wiggle.ox = static_cast<uint16_t>(random.nextStep());
            wiggle.oy = static_cast<uint16_t>(random.nextStep());
        }
        t += step;
    }
}

Vec3 RateJitter::point(int i, const PointNode& from, const PointNode& to, float width) const {
    const Wiggle& w = wiggles_[static_cast<std::size_t>(i)];
    const float ox = kOffsets[w.ox];
    const float oy = kOffsets[w.oy];
    const Vec3 f = from.position();
    const Vec3 g = to.position();
    return {f.x + w.t * (g.x - f.x) + width * ox, f.y + w.t * (g.y - f.y) + width * oy,
            f.z + w.t * (g.z - f.z) + width};
}

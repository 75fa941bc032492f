#include "demo/pen/rate_jitter.h"

#include "demo/pen/point_node.h"
#include "figures/random.h"

RateJitter::RateJitter(RandomSequence& random) {
    // n < 50, so there are at most 50 points.
    const float n = random.range(30.0f, 50.0f);
    const float step = 1.0f / n;
    float t = 0.0f;
    for (; count_ < kMostPoints && static_cast<float>(count_) < n; ++count_) {
        Wiggle& wiggle = wiggles_[static_cast<std::size_t>(count_)];
        wiggle = {t, 0.0f, 0.0f};
        if (random.next() % 3 != 0) {
            wiggle.ox = random.range(-1.0f, 1.0f);
            wiggle.oy = random.range(-1.0f, 1.0f);
        }
        t += step;
    }
}

Vec3 RateJitter::point(int i, const PointNode& from, const PointNode& to, float width) const {
    const Wiggle& w = wiggles_[static_cast<std::size_t>(i)];
    const Vec3 f = from.position();
    const Vec3 g = to.position();
    return {f.x + w.t * (g.x - f.x) + width * w.ox, f.y + w.t * (g.y - f.y) + width * w.oy,
            f.z + w.t * (g.z - f.z) + width};
}

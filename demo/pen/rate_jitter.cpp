#include "demo/pen/rate_jitter.h"

#include "demo/pen/point_node.h"
#include "figures/random.h"

RateJitter::RateJitter() {
    const float n = randomRange(30.0f, 50.0f);
    const float step = 1.0f / n;
    float t = 0.0f;
    for (int i = 0; static_cast<float>(i) < n; ++i) {
        Wiggle wiggle{t, 0.0f, 0.0f};
        if (nextRandom() % 3 != 0) {
            wiggle.ox = randomRange(-1.0f, 1.0f);
            wiggle.oy = randomRange(-1.0f, 1.0f);
        }
        wiggles_.push_back(wiggle);
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

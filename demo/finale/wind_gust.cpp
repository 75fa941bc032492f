#include "demo/finale/wind_gust.h"

#include "figures/random.h"

#include <algorithm>
#include <cmath>

namespace {

const Vec3 baseDirection{1.0f, 0.0f, 0.0f};
constexpr float lowestY = -0.3f;
constexpr float highestY = 0.4f;

}  // namespace

Vec3 WindGust::turned(float angle) {
    float c = std::cos(angle);
    float s = std::sin(angle);
    Vec3 d{c * baseDirection.x - s * baseDirection.y, s * baseDirection.x + c * baseDirection.y, baseDirection.z};
    if (d.y < lowestY) return {lowestY, lowestY, lowestY};
    if (d.y > highestY) return {highestY, highestY, highestY};
    return d;
}

void WindGust::update(int now) {
    if (now <= nextChange_) return;
    if (oneIn(2.0f)) turn();
    if (oneIn(2.0f)) gust();
    nextChange_ = now + static_cast<int>(randomRange(0.0f, 3000.0f));
}

void WindGust::turn() {
    angle_ += randomRange(-0.5f, 0.5f);
    direction_ = turned(angle_);
    if (direction_.x < 0.0f && oneIn(3.0f)) direction_.x = -direction_.x;
    if (oneIn(15.0f)) direction_.x = -direction_.x;
}

void WindGust::gust() {
    strength_ = std::clamp(strength_ + randomRange(-20.0f, 20.0f), minStrength, maxStrength);
    if (oneIn(3.0f)) {
        strength_ = minStrength;
    } else if (oneIn(3.0f)) {
        strength_ = maxStrength;
    }
}

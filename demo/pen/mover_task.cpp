#include "demo/pen/mover_task.h"

#include "figures/random.h"
#include "framework/clock/timer.h"

#include <cmath>

namespace {

Vec2 normalised(Vec2 v) {
    float length = std::sqrt(v.x * v.x + v.y * v.y);
    return length != 0.0f ? v * (1.0f / length) : v;
}

}  // namespace

void MoverTask::setRect(float minX, float minY, float maxX, float maxY) {
    minX_ = minX;
    minY_ = minY;
    maxX_ = maxX;
    maxY_ = maxY;
}

void MoverTask::setTarget(Vec2 point, float targetRadius, float speedMin, float speedMax) {
    target_ = point;
    targetRadius_ = targetRadius;
    speedMin_ = speedMin;
    speedMax_ = speedMax;
    hasTarget_ = true;
    nextRetarget_ = 0;
}

void MoverTask::follow(MoverTask& other) {
    Vec2 u = position_ - other.position_;
    if (radius_ <= std::sqrt(u.x * u.x + u.y * u.y)) {
        float frames = static_cast<float>(Timer::instance().getDeltaFrames());
        other.position_ = other.position_ + normalised(u) * (frames * pull_);
    } else {
        pull_ -= 0.1f;
    }
}

void MoverTask::tick() {
    const Timer& timer = Timer::instance();
    float frames = static_cast<float>(timer.getDeltaFrames());
    if (hasTarget_) {
        if (nextRetarget_ < timer.getTime()) {
            float aimX = target_.x + randomRange(-targetRadius_, targetRadius_);
            float aimY = target_.y + randomRange(-targetRadius_, targetRadius_);
            Vec2 direction = normalised(Vec2{aimX, aimY} - position_);
            float speed = randomRange(speedMin_, speedMax_);
            velocity_ = storedVelocity_ = direction * speed;
            nextRetarget_ = timer.getTime() + nextRandom() % 200;
        } else {
            velocity_ = storedVelocity_;
        }
    }
    position_ = position_ + velocity_ * frames;
    pull_ = 0.0f;
    velocity_ = Vec2{};
    if (jitter_ > 0.0f) {
        float j = frames * jitter_;
        position_.x += randomRange(-j, j);
        position_.y += randomRange(-j, j);
    }
    // Lower bounds first, so a box turned inside out pins to its upper corner.
    if (position_.x < minX_) position_.x = minX_;
    if (position_.y < minY_) position_.y = minY_;
    if (position_.x > maxX_) position_.x = maxX_;
    if (position_.y > maxY_) position_.y = maxY_;
}

void MoverTask::onReset() {
    position_ = Vec2{};
    pull_ = 0.0f;
    velocity_ = Vec2{};
    jitter_ = 0.0f;
    radius_ = 2.0f;
    setRect(0.0f, 0.0f, 640.0f, 480.0f);
    hasTarget_ = false;
    finished_ = false;
}

#include "demo/pencil/wanderer.h"

#include "figures/random.h"
#include "framework/clock/timer.h"

#include <cmath>
#include <numbers>

namespace {

// Ms of movement since any wanderer last wobbled its leg, shared by all.
int jitterCounter = 0;

constexpr float kHeadingLookAhead = 0.01f;
constexpr float kMaxSwingDegrees = 140.0f;

// A control point a fraction `f` along A-B, thrown off the line by up to
// 0.4 of the leg's extent on each axis.
Vec2 control(Vec2 a, Vec2 b, float f) {
    const Vec2 d = b - a;
    Vec2 c;
    c.x = a.x + d.x * f + static_cast<float>(randOffset(d.x * 0.8f));
    c.y = a.y + d.y * f + static_cast<float>(randOffset(d.y * 0.8f));
    return c;
}

Vec2 randomOffsets(float r) {
    Vec2 d;
    d.x = static_cast<float>(randOffset(r));
    d.y = static_cast<float>(randOffset(r));
    return d;
}

float length(Vec2 v) { return std::sqrt(v.x * v.x + v.y * v.y); }

}  // namespace

int randOffset(float r) {
    if (r <= 1.0f) return 0;
    const int n = static_cast<int>(r);
    return nextRandom() % (n + 1) - n / 2;
}

Wanderer::Wanderer() {
    setTarget({0, 0});
    setSpeed(1.0f);
    init(0.1f);
}

void Wanderer::setTarget(Vec2 target) {
    target_ = target;
    startLeg();
}

void Wanderer::setSpeed(float speed) {
    speed_ = speed;
    startLeg();
}

void Wanderer::init(float factor) {
    swingPhase_ = static_cast<float>(nextRandom() % 10000);
    factor_ = factor;
}

void Wanderer::startLeg() {
    p0_ = position_;
    p3_ = target_;
    p1_ = control(p0_, p3_, 0.2f);
    p2_ = control(p0_, p3_, 0.8f);
    t_ = 0.0f;
    const float legLength = length(p3_ - p0_);
    step_ = legLength > 0.0f ? speed_ * 0.03f / legLength : 0.0f;
    jitterInterval_ = 10;
}

Vec2 Wanderer::pointAt(float t) const {
    const float u = 1.0f - t;
    return p0_ * (u * u * u) + p1_ * (3.0f * u * u * t) + p2_ * (3.0f * u * t * t) + p3_ * (t * t * t);
}

void Wanderer::frame(Renderer& renderer) {
    update();
    draw(renderer);
}

void Wanderer::update() {
    const int delta = Timer::instance().getDeltaTime();
    if (legDone()) return;
    t_ += step_ * static_cast<float>(delta);
    if (t_ > 1.0f) t_ = 1.0f;
    position_ = pointAt(t_);
    // A wanderer standing still keeps the way it faced.
    const Vec2 ahead = pointAt(t_ + kHeadingLookAhead) - position_;
    if (length(ahead) > 0.0f) heading_ = std::atan2(ahead.y, ahead.x);

    jitterCounter += delta;
    if (jitterCounter > jitterInterval_) {
        jitterLeg();
        jitterCounter = 0;
    }
    swing(static_cast<float>(delta));
}

void Wanderer::jitterLeg() {
    p0_ = p0_ + randomOffsets(10);
    p1_ = p1_ + randomOffsets(20);
    p2_ = p2_ + randomOffsets(20);
}

void Wanderer::swing(float deltaMs) {
    swingPhase_ += factor_ * deltaMs;
    const float w = (std::cos(swingPhase_ * 0.025f) + 1.0f) * 0.5f * kMaxSwingDegrees * std::numbers::pi_v<float> / 180.0f;
    swingA_ = w;
    swingB_ = -w;
    if (nextRandom() % 10 != 0) return;
    if (nextRandom() % 2 == 1) {
        factor_ += static_cast<float>(nextRandom() % 1000) * 0.00001f;
    } else {
        factor_ -= static_cast<float>(nextRandom() % 1000) * 0.00001f;
    }
}

void Wanderer::draw(Renderer& renderer) {
    drawBody(renderer, swingA_, swingB_, heading_);
    drawExtra(renderer, heading_);
}

void Wanderer::drawBody(Renderer&, float, float, float) {}

void Wanderer::drawExtra(Renderer&, float) {}

#include "demo/scraps/fly_in_pool.h"

#include "demo/pencil/pencil_envelopes.h"
#include "figures/random.h"
#include "figures/smooth_blend.h"
#include "framework/render/renderer.h"
#include "framework/clock/timer.h"

namespace {

constexpr float kSpeed = 0.6f;
constexpr float kSlowSpeed = 0.3f;

// A point 100 units beyond a random edge of the 640x480 screen.
Vec2 pointBeyondAnEdge() {
    switch (static_cast<int>(randomRange(0.0f, 4.0f))) {
        case 0: return {randomRange(0.0f, 640.0f), -100.0f};
        case 1: return {randomRange(0.0f, 640.0f), 580.0f};
        case 2: return {-100.0f, randomRange(0.0f, 480.0f)};
        default: return {740.0f, randomRange(0.0f, 480.0f)};
    }
}

}  // namespace

FlyInPool::FlyInPool() {
    // One after another: each shard's shape comes from the shared generator.
    pieces_.reserve(kPieces);
    for (int i = 0; i < kPieces; ++i) pieces_.emplace_back();
}

void FlyInPool::setRate(int maximumRounds) {
    maximumRounds_ = maximumRounds;
    rounds_ = 0;
}

void FlyInPool::onTrigger(int pattern) {
    if (pattern == pattern_) active_ = true;
}

void FlyInPool::draw(Renderer& renderer) {
    if (!active_) return;
    setSmoothBlend(renderer, true, false);
    renderer.setLineWidth(2.0f);
    if (rounds_ < maximumRounds_) spawn();
    for (FlyInPiece& piece : pieces_) piece.update(renderer);
}

void FlyInPool::spawn() {
    const int now = Timer::instance().getTime();
    if (nextSpawnTime_ >= now) return;
    PencilEnvelopes& envelopes = PencilEnvelopes::instance();
    const int count = static_cast<int>(randomRange(envelopes.flyInCountMin(), envelopes.flyInCountMax()));
    for (int i = 0; i < count; ++i) spawnOne();
    ++rounds_;
    nextSpawnTime_ = static_cast<int>(
        static_cast<float>(now) + randomRange(envelopes.flyInIntervalMin(), envelopes.flyInIntervalMax()));
}

void FlyInPool::spawnOne() {
    int free = cursor_;
    while (free < kPieces && !pieces_[free].isDone()) ++free;
    if (free == kPieces) {
        cursor_ = 0;
        return;
    }
    const Vec2 end = pointBeyondAnEdge();
    const float speed = oneIn(5.0f) ? kSlowSpeed : kSpeed;
    pieces_[free].start(target_, end, speed);
    cursor_ = free + 1;
}

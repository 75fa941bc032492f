#include "demo/pencil/pencil_overlay.h"

#include "figures/random.h"
#include "figures/smooth_blend.h"
#include "framework/render/renderer.h"
#include "framework/clock/timer.h"

#include <cmath>

namespace {

constexpr float kTickLength = 2.0f;
constexpr float kNewTargetChance = 50.0f;

}  // namespace

void PencilTick::drawExtra(Renderer& renderer, float angle) {
    renderer.color(0, 0, 0, 1);
    setSmoothBlend(renderer, true, false);
    // A moving tick is drawn heavier than one that has arrived.
    renderer.setLineWidth(legDone() ? 1.0f : 2.0f);
    const Vec2 p = getPosition();
    renderer.begin(Renderer::Lines);
    renderer.vertex(p.x, p.y, 1);
    renderer.vertex(p.x + kTickLength * std::cos(angle), p.y + kTickLength * std::sin(angle), 1);
    renderer.end();
    renderer.setLineWidth(1.0f);
}

PencilOverlay::PencilOverlay(int count, int revealIntervalMs) : revealInterval_(revealIntervalMs) {
    for (int i = 0; i < count; ++i) {
        auto tick = std::make_unique<PencilTick>();
        tick->setSpeed(randomRange(6, 10));
        tick->setPosition({0, 0});
        Vec2 target;
        target.y = randomRange(0, 480);
        target.x = randomRange(0, 640);
        tick->setTarget(target);
        wanderers_.push_back(std::move(tick));
    }
}

void PencilOverlay::onPattern(int pattern) {
    if (pattern == pattern_) active_ = true;
}

void PencilOverlay::draw(Renderer& renderer) {
    if (!active_) return;
    renderer.setLineStipple(false, 1, 0xFFFF);
    renderer.setTexturing(false);
    const int now = Timer::instance().getTime();
    if (now > nextReveal_) {
        if (visibleCount_ < static_cast<int>(wanderers_.size())) ++visibleCount_;
        nextReveal_ = now + revealInterval_;
    }
    for (int i = 0; i < visibleCount_; ++i) {
        PencilTick& tick = *wanderers_[i];
        tick.frame(renderer);
        if (oneIn(kNewTargetChance)) {
            Vec2 target;
            target.y = randomRange(-100, 200);
            target.x = randomRange(-100, 200);
            tick.setTarget(target);
        }
    }
}

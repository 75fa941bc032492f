#include "demo/finale/crawler_limb.h"

#include "framework/render/renderer.h"
#include "framework/clock/timer.h"

#include <cmath>

namespace {

// The direction of d, or d itself when it has no length.
Vec2 normalised(Vec2 d) {
    float length = std::sqrt(d.x * d.x + d.y * d.y);
    return length != 0.0f ? d * (1.0f / length) : d;
}

constexpr float reach = 400.0f * 3.0f;

}  // namespace

float screenToWorldX(float x) { return x / 640.0f * 150.0f - 75.0f; }
float screenToWorldY(float y) { return y / 480.0f * 150.0f - 75.0f; }

void CrawlerLimb::aimAt(Vec2 point, Vec2 centre) {
    farEnd_ = centre + normalised(point - centre) * reach;
    weight_ = 0.2f;
    muscle_.stop();
}

Vec2 CrawlerLimb::pull(Vec2 centre) {
    float contraction = muscle_.contraction();
    float dt = static_cast<float>(Timer::instance().getDeltaTime());
    return centre + normalised(farEnd_ - centre) * (contraction * (dt * weight_));
}

void CrawlerLimb::draw(Vec2 centre, float phase, float r, float g, float b) {
    float contraction = muscle_.contraction();
    renderer_->setLineWidth(contraction * weight_ * 5.0f + 4.0f);
    renderer_->color(r, g, b, phase);
    renderer_->begin(Renderer::Lines);
    renderer_->vertex(screenToWorldX(centre.x + offset_.x), screenToWorldY(centre.y + offset_.y), 0.0f);
    renderer_->vertex(screenToWorldX(farEnd_.x + offset_.x), screenToWorldY(farEnd_.y + offset_.y), 0.0f);
    renderer_->end();
}

float CrawlerLimb::score(Vec2 home, Vec2 centre) const {
    Vec2 step = centre + normalised(farEnd_ - centre) * 10.0f - home;
    return std::sqrt(step.x * step.x + step.y * step.y);
}

#include "demo/finale/crawler.h"

#include "demo/shared/demo_clock.h"
#include "figures/random.h"
#include "figures/smooth_blend.h"
#include "framework/render/renderer.h"
#include "framework/clock/timer.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float creepSpeed = 0.0035f;  // units per ms
constexpr float phaseRate = 0.01f;     // per ms
constexpr int creepDelay = 20000;      // ms into the end sequence
constexpr float driftScale = 0.0001f;
constexpr std::size_t limbCount = 6;

const Vec2 limbAims[limbCount] = {{300, 200}, {300, 380}, {200, 350}, {300, 250}, {540, 200}, {100, 180}};

float lengthOf(Vec2 v) { return std::sqrt(v.x * v.x + v.y * v.y); }

}  // namespace

std::size_t lowestScoreIndex(const std::vector<float>& scores) {
    std::size_t best = 0;
    int bestScore = 1000000;
    for (std::size_t i = 0; i < scores.size(); ++i) {
        if (static_cast<float>(bestScore) > scores[i]) {
            best = i;
            bestScore = static_cast<int>(scores[i]);
        }
    }
    return best;
}

Crawler::Crawler(Renderer* screen) : renderer_(screen) {
    Vec2 wind{100.0f, -100.0f};
    windDirection_ = wind * (1.0f / lengthOf(wind));
    for (Vec2 aim : limbAims) {
        limbs_.push_back(std::make_unique<CrawlerLimb>(screen));
        limbs_.back()->aimAt(aim, centre_);
    }
    pace_.start(0);
}

Crawler::~Crawler() = default;

Vec2 Crawler::anchor() const { return {screenToWorldX(centre_.x + offset_.x), screenToWorldY(centre_.y + offset_.y)}; }

void Crawler::setWind(Vec2 direction, float strength) {
    windDirection_ = direction;
    windStrength_ = strength;
}

void Crawler::frame(float r, float g, float b) {
    float dt = static_cast<float>(Timer::instance().getDeltaTime());
    phase_ += dt * phaseRate;
    if (DemoClock::instance().elapsed() > creepDelay) creep(dt);
    steer();
    float pace = pace_.value();
    for (auto& limb : limbs_) {
        limb->setOffset(offset_);
        limb->setWeight(pace);
        centre_ = limb->pull(centre_);
    }
    centre_ = centre_ + heading_ * (dt * driftScale * windStrength_ * pace);
    setSmoothBlend(*renderer_, true, false);
    renderer_->color(0.0f, 0.0f, 0.0f, 1.0f);
    for (auto& limb : limbs_) limb->draw(centre_, phase_, r, g, b);
}

void Crawler::creep(float dt) {
    if (offset_.x < offsetTarget_.x) offset_.x += dt * creepSpeed;
    if (offset_.y < offsetTarget_.y) offset_.y += dt * creepSpeed;
}

void Crawler::steer() {
    float windLength = lengthOf(windDirection_);
    if (windLength != 0.0f) heading_ = windDirection_ * (1.0f / windLength);

    int now = Timer::instance().getTime();
    if (lengthOf(centre_ - home_) > strideThreshold && !striding_) {
        strideLength_ = randomRange(100.0f, 500.0f);
        striding_ = true;
        strideStart_ = now;
        pickBestLimb();
    }
    if (striding_ && static_cast<float>(now - strideStart_) >= strideLength_) striding_ = false;
    if (std::any_of(limbs_.begin(), limbs_.end(), [](auto& limb) { return limb->isActive(); })) return;
    pickRandomLimb();
}

void Crawler::pickRandomLimb() {
    for (auto& limb : limbs_) limb->stop();
    limbs_[static_cast<std::size_t>(nextRandom()) % limbCount]->start();
}

void Crawler::pickBestLimb() {
    heading_ = {};
    std::vector<float> scores;
    for (auto& limb : limbs_) {
        limb->stop();
        scores.push_back(limb->score(home_, centre_));
    }
    limbs_[lowestScoreIndex(scores)]->start();
}

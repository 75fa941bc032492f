#include "figures/branch.h"

#include "figures/element.h"
#include "figures/figure_drawing.h"
#include "figures/random.h"
#include "framework/clock/timer.h"

#include <cmath>

namespace {

constexpr int kChildren = 30;
constexpr float kRootSpeed = 3.0f;
// How far past the root's end its children fly, besides their scatter.
constexpr float kChildReach = 200.0f;
constexpr float kChildAlpha = 0.7f;
constexpr int kBlobPoints = 20;

int now() { return Timer::instance().getTime(); }

}  // namespace

Branch::Branch(Vec2 start, Vec2 end, bool isRoot)
    : start_(start), isRoot_(isRoot), envelope_(isRoot ? 1.0f : kChildAlpha) {
    color_ = makeColorPresetA();
    speed_ = isRoot ? kRootSpeed : static_cast<float>(nextRandom() % 8000) / 1000.0f + 3.0f;
    Vec2 d = end - start;
    float squared = d.x * d.x + d.y * d.y;
    float distance = std::sqrt(squared);
    length_ = static_cast<int>(distance);
    if (squared != 0.0f) direction_ = {d.x / distance, d.y / distance};
    if (isRoot) {
        children_.reserve(kChildren);
        for (int i = 0; i < kChildren; ++i) {
            // The first draw scatters y, the second x.
            int scatterY = nextRandom() % 301 - 150;
            int scatterX = nextRandom() % 301 - 150;
            Vec2 childEnd{end.x + static_cast<float>(scatterX) + direction_.x * kChildReach,
                          end.y + static_cast<float>(scatterY) + direction_.y * kChildReach};
            children_.push_back(std::make_unique<Branch>(end, childEnd, false));
        }
    } else {
        // Full until two thirds of the lifetime, then fading out.
        envelope_.addKey(kChildAlpha, 0);
        envelope_.addKey(kChildAlpha, static_cast<int>(length_ / 1.5));
        envelope_.addKey(0.0f, length_);
    }
    makeBlob(static_cast<float>(nextRandom() % 10 + 3));
}

void Branch::activate() {
    active_ = true;
    startTime_ = now();
    envelope_.start(0);
}

void Branch::start() {
    if (isRoot_) started_ = true;
    for (const auto& child : children_) child->activate();
}

bool Branch::isFinished() const {
    if (!isRoot_) return now() - startTime_ > length_;
    if (!active_ || !started_) return false;
    for (const auto& child : children_) {
        if (!child->isFinished()) return false;
    }
    return true;
}

void Branch::draw(Renderer& renderer) {
    if (!active_) return;
    int elapsed = started_ ? length_ : now() - startTime_;
    if (elapsed > length_) elapsed = length_;
    tip_ = start_ + direction_ * (static_cast<float>(elapsed) / speed_);
    if (!started_) drawTip(renderer);
    for (const auto& child : children_) child->draw(renderer);
}

void Branch::drawTip(Renderer& renderer) {
    Element* e = ElementPool::instance().next();
    float a = envelope_.value();
    const RGB& fill = color_->color();
    const RGB& outline = color_->color2();
    e->setColor({fill.r, fill.g, fill.b, a});
    e->setColor2({outline.r, outline.g, outline.b, a});
    e->setPoints(blob_);
    drawFigureFill(renderer, *e, tip_.x, tip_.y);
    drawFigureOutline(renderer, *e, tip_.x, tip_.y);
}

void Branch::makeBlob(float radius) {
    constexpr float kFullTurn = 6.283184f;
    blob_.reserve(kBlobPoints);
    for (int i = 0; i < kBlobPoints; ++i) {
        float angle = static_cast<float>(i) / static_cast<float>(kBlobPoints) * kFullTurn;
        blob_.push_back({radius * std::cos(angle), radius * std::sin(angle)});
    }
}

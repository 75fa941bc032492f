#include "demo/scraps/fly_in_piece.h"

#include <cmath>

#include "demo/pencil/pencil_envelopes.h"
#include "figures/random.h"
#include "framework/render/renderer.h"
#include "framework/clock/timer.h"

namespace {

constexpr int kPoints = 13;
constexpr int kJitter = 4;

// lo .. hi - 1; lo alone for an empty range (no draw then).
int randInt(int lo, int hi) { return hi - lo < 1 ? lo : lo + nextRandom() % (hi - lo); }

Vec2 jitter(Vec2 p, int r) {
    const float x = p.x + static_cast<float>(randInt(-r, r));
    return {x, p.y + static_cast<float>(randInt(-r, r))};
}

}  // namespace

FlyInPiece::FlyInPiece() {
    std::vector<Vec2> points;
    for (int i = 0; i < 3; ++i) points.push_back(jitter({}, kJitter));
    while (static_cast<int>(points.size()) < kPoints) {
        points.push_back(jitter({}, kJitter));
        const std::size_t n = points.size();
        triangles_.push_back({points[n - 1], points[n - 2], points[n - 3]});
    }
    for (Vec2 p : points) pivot_ = pivot_ + p;
    pivot_ = pivot_ * (1.0f / kPoints);
    spin_ = static_cast<float>(randInt(-1000, 1000)) / (1000.0f * 30.0f);
}

void FlyInPiece::start(Vec2 s, Vec2 e, float speed) {
    done_ = false;
    start_ = s;
    delta_ = e - s;
    duration_ = std::sqrt(delta_.x * delta_.x + delta_.y * delta_.y) / speed;
    startTime_ = static_cast<float>(Timer::instance().getTime());
}

void FlyInPiece::update(Renderer& renderer) {
    if (done_) return;
    const float now = static_cast<float>(Timer::instance().getTime());
    if (startTime_ + duration_ < now) done_ = true;
    const float progress = duration_ > 0.0f ? (now - startTime_) / duration_ : 1.0f;
    draw(start_ + delta_ * progress, renderer);
}

void FlyInPiece::draw(Vec2 position, Renderer& renderer) {
    angle_ += static_cast<float>(Timer::instance().getDeltaTime()) * spin_;
    const float c = std::cos(angle_);
    const float s = std::sin(angle_);
    const float f = PencilEnvelopes::instance().pieceFactor();
    for (const Triangle& triangle : triangles_) {
        Triangle turned;
        for (int i = 0; i < 3; ++i) {
            const Vec2 d = triangle[i] - pivot_;
            turned[i] = Vec2{c * d.x - s * d.y + pivot_.x, s * d.x + c * d.y + pivot_.y} + position;
        }
        renderer.color(f, f, f, 1.0f);
        renderer.begin(Renderer::Polygon);
        for (Vec2 p : turned) renderer.vertex(p.x, p.y, 1.0f);
        renderer.end();
        renderer.setLineWidth(0.5f);
        renderer.color(0.0f, 0.0f, 0.0f, 1.0f);
        renderer.begin(Renderer::Lines);
        for (int i = 0; i < 3; ++i) {
            renderer.vertex(turned[i].x, turned[i].y, 1.0f);
            renderer.vertex(turned[(i + 1) % 3].x, turned[(i + 1) % 3].y, 1.0f);
        }
        renderer.end();
    }
}

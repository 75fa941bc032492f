#include "demo/scraps/scrap_bit.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "demo/scraps/direction.h"
#include "figures/random.h"
#include "figures/smooth_blend.h"
#include "framework/render/draw_probe.h"
#include "framework/render/image.h"
#include "framework/render/renderer.h"

namespace {

constexpr Vec2 kShadowSource{200.0f, 480.0f};
// Around the piece, a dark rim half a unit wide.
constexpr Vec2 kRimOffsets[] = {{-0.5f, -0.5f}, {0.5f, -0.5f}, {-0.5f, 0.5f}};
constexpr float kCrumpleStep = 5.0f;

float thousandth() { return static_cast<float>(nextRandom() % 1000) / 1000.0f; }

// p turned and scaled by the cosine and sine given, each times the scale.
Vec2 turned(Vec2 p, float cosScaled, float sinScaled) {
    return {cosScaled * p.x - sinScaled * p.y, sinScaled * p.x + cosScaled * p.y};
}

}  // namespace

ScrapBit::ScrapBit(Image* texture) : texture_(texture), size_(static_cast<float>(texture->getWidth()) / 1.4f) {
    // The grid size was once random; its draw keeps the sequence in step.
    randomRange(kGrid, kGrid);
    const float last = kGrid - 1;
    for (int y = 0; y < kGrid; ++y) {
        for (int x = 0; x < kGrid; ++x) {
            const Vec2 grid{x / last, y / last};
            vertices_[static_cast<std::size_t>(y * kGrid + x)] = {{grid.x * size_ - size_ / 2, grid.y * size_ - size_ / 2},
                                                                  grid};
        }
    }
    makeQuads();
}

ScrapBit ScrapBit::crumpled() const {
    ScrapBit copy(*this);
    copy.shadowOffset_ = {2.0f, 0.0f};
    copy.makeQuads();
    copy.crumple();
    return copy;
}

void ScrapBit::makeQuads() {
    for (int y = 0; y + 1 < kGrid; ++y) {
        for (int x = 0; x + 1 < kGrid; ++x) {
            const int corner = y * kGrid + x;
            const float shade = randomRange(0.6f, 1.0f);
            const float alphaFactor = randomRange(0.8f, 1.2f);
            quads_[static_cast<std::size_t>(y * (kGrid - 1) + x)] = {
                {corner, corner + 1, corner + kGrid + 1, corner + kGrid}, shade, alphaFactor};
        }
    }
}

// Every vertex steps up to 5 units toward a random point of the piece's
// middle half.
void ScrapBit::crumple() {
    const float s = size_ / 2;
    for (Vertex& vertex : vertices_) {
        const float r1 = thousandth();
        const float r2 = thousandth();
        const Vec2 toward = directionOf(Vec2{r1 * s - s / 2, r2 * s - s / 2} - vertex.position);
        vertex.position = vertex.position + toward * (thousandth() * kCrumpleStep);
    }
}

void ScrapBit::setPosition(Vec2 position) {
    if (position.x == position_.x && position.y == position_.y) return;
    position_ = position;
    const Vec2 away = directionOf(position - kShadowSource);
    shadowOffset_ = {away.x * 1.5f, away.y * 2.0f};
}

void ScrapBit::draw(Renderer& renderer, const ScrapLook& look) const {
    const float cosScaled = std::cos(look.angle) * look.scale;
    const float sinScaled = std::sin(look.angle) * look.scale;
    setSmoothBlend(renderer, true, false);
    // Texturing may have been switched off by whatever drew before.
    renderer.setTexturing(true);
    renderer.setTexture(texture_);
    if (look.shadowPass) {
        const draw_probe::SourceMark mark("scrap shadow");
        renderer.color(look.shadow.r, look.shadow.g, look.shadow.b, look.shadow.a);
        for (const Quad& quad : quads_) {
            drawQuad(renderer, quad, position_ + shadowOffset_, cosScaled, sinScaled);
            for (Vec2 rim : kRimOffsets) drawQuad(renderer, quad, position_ + rim, cosScaled, sinScaled);
        }
    }
    if (look.paperPass) {
        const draw_probe::SourceMark mark("scrap paper");
        for (const Quad& quad : quads_) {
            renderer.color(look.paper.r * quad.shade, look.paper.g * quad.shade, look.paper.b * quad.shade,
                           look.paper.a * quad.alphaFactor);
            drawQuad(renderer, quad, position_, cosScaled, sinScaled);
        }
    }
    renderer.setTexturing(false);
}

ScrapBounds ScrapBit::bounds(const ScrapLook& look) const {
    const float cosScaled = std::cos(look.angle) * look.scale;
    const float sinScaled = std::sin(look.angle) * look.scale;
    ScrapBounds box{position_, position_};
    for (const Vertex& v : vertices_) {
        const Vec2 p = turned(v.position, cosScaled, sinScaled);
        box.low = {std::min(box.low.x, position_.x + p.x), std::min(box.low.y, position_.y + p.y)};
        box.high = {std::max(box.high.x, position_.x + p.x), std::max(box.high.y, position_.y + p.y)};
    }
    // The shadow and the rim reach beyond the piece by their offsets.
    const float reach = std::max({std::abs(shadowOffset_.x), std::abs(shadowOffset_.y), 0.5f});
    return {box.low - Vec2{reach, reach}, box.high + Vec2{reach, reach}};
}

void ScrapBit::drawQuad(Renderer& renderer, const Quad& quad, Vec2 at, float cosScaled, float sinScaled) const {
    renderer.begin(Renderer::Polygon);
    for (int corner : quad.corners) {
        const Vertex& v = vertices_[corner];
        renderer.texCoord(v.texCoord.x, v.texCoord.y);
        const Vec2 p = turned(v.position, cosScaled, sinScaled) + at;
        renderer.vertex(p.x, p.y, 1.0f);
    }
    renderer.end();
}

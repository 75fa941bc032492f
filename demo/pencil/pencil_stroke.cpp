#include "demo/pencil/pencil_stroke.h"

#include "figures/random.h"
#include "figures/smooth_blend.h"
#include "framework/render/image_cache.h"
#include "framework/render/renderer.h"

#include <cmath>

namespace {

// -2..2 units of hand shake.
float shake() { return static_cast<float>(nextRandom() % 5 - 2); }

}  // namespace

void PencilSegment::set(Vec2 from, Vec2 to, float alpha, Image* texture) {
    from_ = from;
    to_ = to;
    alpha_ = alpha;
    texture_ = texture;
}

void PencilSegment::draw(Renderer& renderer) const {
    setSmoothBlend(renderer, true, true);
    renderer.setLineWidth(1.0f);
    // The graphite grain comes from the texture, which whatever drew before
    // may have switched off.
    const bool wasTextured = renderer.isTexturing();
    renderer.setTexturing(true);
    renderer.setTexture(texture_);
    renderer.color(0, 0, 0, alpha_);
    renderer.begin(Renderer::Lines);
    renderer.texCoord(0, 0);
    renderer.vertex(from_.x, from_.y, 1);
    renderer.texCoord(1, 1);
    renderer.vertex(to_.x, to_.y, 1);
    renderer.end();
    if (!wasTextured) renderer.setTexturing(false);
}

void PencilStroke::draw(Renderer& renderer) const {
    for (const PencilSegment& segment : segments_) segment.draw(renderer);
}

StrokeTexture::StrokeTexture() : image_(ImageCache::instance().get("data/pencilbackground/teststroke5.png")) {}

PencilStroke StrokeTexture::makePencilStroke(Vec2 start, Vec2 end, float alpha) const {
    const float stepLength = static_cast<float>(nextRandom() % 10 + 1);
    const Vec2 d = start - end;
    const float length = std::sqrt(d.x * d.x + d.y * d.y);
    const int count = static_cast<int>(length / stepLength);

    PencilStroke stroke;
    Vec2 cursor = start;
    for (int i = 0; i < count; ++i) {
        Vec2 a;
        a.x = cursor.x + shake();
        a.y = cursor.y + shake();
        const float perSegment = 1.0f / static_cast<float>(count);
        Vec2 b = a + d * perSegment;
        b.x += shake();
        b.y += shake();
        cursor = b;
        PencilSegment segment;
        segment.set(a, b, alpha, image_);
        stroke.add(segment);
    }
    return stroke;
}

#include "figures/figure_drawing.h"

#include "figures/element.h"
#include "figures/main_envelopes.h"
#include "figures/random.h"
#include "figures/smooth_blend.h"
#include "figures/vec2.h"
#include "framework/render/renderer.h"

namespace {

// (x, y) zoomed out by the figure zoom about (320, 240). The zoom is read
// once per shape: the envelopes change only between frames.
Vec2 zoomed(float x, float y, float zoom) { return {(x - 320.0f) / zoom + 320.0f, (y - 240.0f) / zoom + 240.0f}; }

}  // namespace

void drawFigureFill(Renderer& renderer, const Element& e, float x, float y) {
    MainEnvelopes& envelopes = MainEnvelopes::instance();
    setSmoothBlend(renderer, true, false);
    RGBA c = envelopes.flickerColor(e.color());
    renderer.color(c.r, c.g, c.b, c.a);
    float s = envelopes.unitDivisor();
    float zoom = envelopes.zoom();
    renderer.begin(Renderer::Polygon);
    for (Vec2 p : e.points()) {
        Vec2 corner = zoomed(p.x / s + x, p.y / s + y, zoom);
        renderer.vertex(corner.x, corner.y, 1.0f);
    }
    renderer.end();
}

void drawFigureOutline(Renderer& renderer, const Element& e, float x, float y) {
    MainEnvelopes& envelopes = MainEnvelopes::instance();
    setSmoothBlend(renderer, true, false);
    RGBA c = envelopes.outlineColor(e.color2());
    renderer.color(c.r, c.g, c.b, c.a);
    renderer.setLineWidth(envelopes.lineWidth());
    renderer.begin(Renderer::Lines);
    float s = envelopes.pulseDivisor();
    float j = envelopes.jitter();
    float zoom = envelopes.zoom();
    const std::vector<Vec2>& points = e.points();
    int count = static_cast<int>(points.size());
    // Each segment starts where the last one ended, so each point is worked
    // out once; only the closing one is displaced anew.
    Vec2 start = count > 0 ? zoomed(points[0].x / s + x, points[0].y / s + y, zoom) : Vec2{};
    for (int i = 1; i <= count; ++i) {
        Vec2 b = points[i % count];
        Vec2 pb{b.x / s, b.y / s};
        if (j > 0.0f) {
            Vec2 shift;
            shift.x = randomRange(-j, j);
            shift.y = randomRange(-j, j);
            pb = pb + shift;
        }
        Vec2 end = zoomed(pb.x + x, pb.y + y, zoom);
        renderer.vertex(start.x, start.y, 1.0f);
        renderer.vertex(end.x, end.y, 1.0f);
        start = end;
    }
    renderer.end();
}

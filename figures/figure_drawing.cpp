#include "figures/figure_drawing.h"

#include "figures/element.h"
#include "figures/main_envelopes.h"
#include "figures/random.h"
#include "figures/smooth_blend.h"
#include "framework/render/renderer.h"

void drawFigureFill(Renderer& renderer, const Element& e, float x, float y) {
    MainEnvelopes& envelopes = MainEnvelopes::instance();
    setSmoothBlend(renderer, true, false);
    RGBA c = envelopes.flickerColor(e.color());
    renderer.color(c.r, c.g, c.b, c.a);
    float s = envelopes.unitDivisor();
    float zoom = envelopes.zoom();
    renderer.begin(Renderer::Polygon);
    for (Vec2 p : e.points()) zoomVertex(renderer, p.x / s + x, p.y / s + y, zoom);
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
    Vec2 shift;
    const std::vector<Vec2>& points = e.points();
    int count = static_cast<int>(points.size());
    for (int i = 1; i <= count; ++i) {
        Vec2 a = points[i - 1];
        Vec2 b = points[i % count];
        Vec2 pa{a.x / s, a.y / s};
        Vec2 pb{b.x / s, b.y / s};
        if (j > 0.0f) {
            pa = pa + shift;
            shift.x = randomRange(-j, j);
            shift.y = randomRange(-j, j);
            pb = pb + shift;
        }
        zoomVertex(renderer, pa.x + x, pa.y + y, zoom);
        zoomVertex(renderer, pb.x + x, pb.y + y, zoom);
    }
    renderer.end();
}

void zoomVertex(Renderer& renderer, float x, float y, float zoom) {
    renderer.vertex((x - 320.0f) / zoom + 320.0f, (y - 240.0f) / zoom + 240.0f, 1.0f);
}

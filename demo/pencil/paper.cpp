#include "demo/pencil/paper.h"

#include "demo/pencil/pencil_envelopes.h"
#include "figures/smooth_blend.h"
#include "framework/render/draw_probe.h"
#include "framework/render/image_cache.h"
#include "framework/render/renderer.h"

namespace {

Image* paper = nullptr;

// The paper square's side; its lower quarter lies below the screen.
constexpr float kSide = 640.0f;

}  // namespace

void loadPaperTexture() { paper = ImageCache::instance().get("data/bg.png"); }

void drawPaper(Renderer& renderer) {
    const float alpha = PencilEnvelopes::instance().paperAlpha();
    if (!(alpha > 0.0f) || paper == nullptr) return;
    const draw_probe::SourceMark mark("paper");
    setSmoothBlend(renderer, true, false);
    renderer.setTexturing(true);
    renderer.setTexture(paper);
    renderer.color(0, 0, 0, alpha);
    renderer.begin(Renderer::Polygon);
    renderer.texCoord(0, 0);
    renderer.vertex(0, 0, 1);
    renderer.texCoord(0, 1);
    renderer.vertex(0, kSide, 1);
    renderer.texCoord(1, 1);
    renderer.vertex(kSide, kSide, 1);
    renderer.texCoord(1, 0);
    renderer.vertex(kSide, 0, 1);
    renderer.end();
    renderer.setTexturing(false);
}

#include "demo/pencil/render_layer.h"

#include "figures/smooth_blend.h"
#include "framework/render/draw_probe.h"
#include "framework/render/gl_batch.h"
#include "framework/render/layer_renderer.h"
#include "framework/clock/timer.h"
#include "framework/window/viewport.h"

#include <GL/glew.h>

#include <utility>

namespace {

constexpr int kTextureSize = 1024;

}  // namespace

RenderLayer::RenderLayer(float r, float g, float b, bool blendOnOutput, std::unique_ptr<PencilLayers> layers,
                         std::unique_ptr<StrokeField> field, int delayMs)
    : frameBuffer_(kTextureSize, kTextureSize, Viewport::instance().width(), Viewport::instance().height()),
      renderer_(makeLayerRenderer(Viewport::instance().width(), Viewport::instance().height())),
      layers_(std::move(layers)),
      field_(std::move(field)),
      blendOnOutput_(blendOnOutput),
      delay_(delayMs) {
    frameBuffer_.bind();
    glClearColor(r, g, b, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    frameBuffer_.unbind();
}

void RenderLayer::onPattern(int pattern) {
    if (pattern != pattern_) return;
    triggered_ = true;
    triggerTime_ = Timer::instance().getTime();
}

void RenderLayer::drawInto() {
    frameBuffer_.bind();
    {
        const draw_probe::SourceMark mark("layer bake");
        for (LayerDrawable* drawable : queue_) drawable->drawToLayer(*renderer_);
    }
    queue_.clear();
    if (readyForStrokes() && layers_->isDue()) {
        const draw_probe::SourceMark mark("layer strokes");
        setSmoothBlend(*renderer_, true, false);
        const int strokes = layers_->batchSize();
        for (int i = 0; i < strokes; ++i) drawStroke();
    }
    frameBuffer_.unbind();
    glLoadIdentity();
}

bool RenderLayer::readyForStrokes() {
    if (!triggered_) return false;
    // The delay is waited once, after the first start of the pattern.
    if (!started_) started_ = Timer::instance().getTime() - triggerTime_ >= delay_;
    return started_;
}

void RenderLayer::drawStroke() {
    field_->next();
    const float alpha = static_cast<float>(layers_->value());
    strokeTexture_.makePencilStroke(field_->start(), field_->end(), alpha).draw(*renderer_);
    layers_->advance();
}

void RenderLayer::drawOut() {
    GLBatch::flushCurrent();
    glLoadIdentity();
    setSmoothBlend(*renderer_, blendOnOutput_, false);
    const draw_probe::SourceMark mark("layer draw-out");
    frameBuffer_.drawFullscreen();
}

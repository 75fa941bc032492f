#include "framework/render/layer_renderer.h"

#include "framework/render/gl_renderer.h"

namespace {

std::unique_ptr<Renderer> makeGLRenderer(int width, int height) { return std::make_unique<GLRenderer>(width, height); }

LayerRendererMaker currentMaker = makeGLRenderer;

}  // namespace

std::unique_ptr<Renderer> makeLayerRenderer(int width, int height) { return currentMaker(width, height); }

void setLayerRendererMaker(LayerRendererMaker maker) { currentMaker = maker ? maker : makeGLRenderer; }

#pragma once

#include <memory>

class Renderer;

// Where the render-to-texture layers get their own renderers: GLRenderers
// in the show; a test may put a maker of its own in place.
using LayerRendererMaker = std::unique_ptr<Renderer> (*)(int width, int height);

std::unique_ptr<Renderer> makeLayerRenderer(int width, int height);
// Null restores the GLRenderer maker.
void setLayerRendererMaker(LayerRendererMaker maker);

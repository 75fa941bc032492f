#include "framework/render_context.h"

RenderContext& RenderContext::instance() {
    static RenderContext* context = new RenderContext;
    return *context;
}

#include "framework/scene/render_context.h"

#include "framework/scene/clamped_value.h"

RenderContext& RenderContext::instance() {
    static RenderContext* context = new RenderContext;
    return *context;
}

float RenderContext::controllerValue(const ControllerGroup* group, int index) {
    if (!group || index < 0 || static_cast<std::size_t>(index) >= group->size()) return 0.0f;
    return (*group)[static_cast<std::size_t>(index)]->get();
}

void RenderContext::resetToStart() { *this = RenderContext(); }

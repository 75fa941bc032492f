#include "figures/smooth_blend.h"

#include "framework/render/renderer.h"

namespace {

struct SmoothBlendState {
    bool enabled = false;
    bool saturating = false;
};

SmoothBlendState state;

}  // namespace

void setSmoothBlend(Renderer& renderer, bool enable, bool saturate) {
    if (enable == state.enabled && saturate == state.saturating) return;
    renderer.setBlending(enable, saturate);
    state.enabled = enable;
    state.saturating = saturate;
}

void resetSmoothBlend() { state = SmoothBlendState(); }

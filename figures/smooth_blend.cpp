#include "figures/smooth_blend.h"

#include <GL/gl.h>

namespace {

struct SmoothBlendState {
    bool enabled = false;
    bool saturating = false;
    bool hintsPending = true;
};

SmoothBlendState state;

}  // namespace

void setSmoothBlend(bool enable, bool saturate) {
    if (enable == state.enabled && saturate == state.saturating) return;
    if (enable) {
        if (state.hintsPending) {
            glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
            glHint(GL_POINT_SMOOTH_HINT, GL_NICEST);
            state.hintsPending = false;
        }
        glBlendFunc(saturate ? GL_SRC_ALPHA_SATURATE : GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_LINE_SMOOTH);
        glEnable(GL_BLEND);
    } else {
        glDisable(GL_BLEND);
        glDisable(GL_LINE_SMOOTH);
    }
    state.enabled = enable;
    state.saturating = saturate;
}

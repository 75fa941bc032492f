#include "figures/smooth_blend.h"
#include "tests/shared_window.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

namespace {

GLint blendSource() {
    GLint source = 0;
    glGetIntegerv(GL_BLEND_SRC, &source);
    return source;
}

}  // namespace

TEST(SmoothBlendGL, SwitchesOnlyWhenTheWantedStateChanges) {
    if (!openSharedWindow()) GTEST_SKIP() << "no OpenGL window could be opened";
    setSmoothBlend(false, false);
    setSmoothBlend(true, false);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_LINE_SMOOTH));
    EXPECT_EQ(blendSource(), GL_SRC_ALPHA);
    setSmoothBlend(true, true);
    EXPECT_EQ(blendSource(), GL_SRC_ALPHA_SATURATE);

    // A change behind the switch's back goes unnoticed: the same wish again
    // sends nothing.
    glDisable(GL_BLEND);
    setSmoothBlend(true, true);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));

    setSmoothBlend(false, false);
    EXPECT_FALSE(glIsEnabled(GL_LINE_SMOOTH));
    setSmoothBlend(true, false);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(blendSource(), GL_SRC_ALPHA);
}

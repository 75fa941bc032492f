#include "figures/smooth_blend.h"
#include "tests/figures/recording_renderer.h"

#include <gtest/gtest.h>

TEST(SmoothBlend, PassesOnOnlyChangesOfTheWantedState) {
    RecordingRenderer renderer;
    // The switch keeps its state for the whole program: start from off.
    setSmoothBlend(renderer, false, false);
    renderer.calls.clear();
    setSmoothBlend(renderer, false, false);
    setSmoothBlend(renderer, true, false);
    setSmoothBlend(renderer, true, false);
    setSmoothBlend(renderer, true, true);
    setSmoothBlend(renderer, true, true);
    setSmoothBlend(renderer, false, false);
    const std::vector<RecordingRenderer::Call> switches = renderer.only(RecordingRenderer::Blending);
    ASSERT_EQ(switches.size(), 3u) << "repeats send nothing";
    EXPECT_EQ(switches[0].a, 1.0f);
    EXPECT_EQ(switches[0].b, 0.0f);
    EXPECT_EQ(switches[1].b, 1.0f);
    EXPECT_EQ(switches[2].a, 0.0f);
}

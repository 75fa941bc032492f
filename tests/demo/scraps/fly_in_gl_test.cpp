#include "demo/scraps/fly_in_pool.h"
#include "demo/pencil/pencil_envelopes.h"
#include "figures/random.h"
#include "framework/render/gl_renderer.h"
#include "tests/fake_clock.h"
#include "tests/shared_window.h"
#include "tests/window_capture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// Counts window pixels that are black outline and white fill on grey.
void countShards(int& dark, int& light) {
    const std::vector<uint8_t> rgb = windowPixels();
    dark = 0;
    light = 0;
    for (std::size_t i = 0; i < rgb.size(); i += 3) {
        dark += rgb[i] < 60;
        light += rgb[i] > 200;
    }
}

using FlyInGLTest = FakeClockTest;

}  // namespace

TEST_F(FlyInGLTest, WhiteShardsWithBlackEdgesFlyOutFromTheTarget) {
    if (!openSharedWindow()) GTEST_SKIP() << "no OpenGL window could be opened";
    seedRandom(1);
    FlyInPool pool;
    pool.setRate(10000);
    pool.setId(71);
    pool.onTrigger(71);
    pool.setTarget({320, 240});
    GLRenderer screen(kWindowWidth, kWindowHeight);
    setSceneTime(0);
    PencilEnvelopes::instance().restartAll();

    // Around 90800 ms after the pattern the bursts are at their biggest.
    for (int t = 89000; t <= 90800; t += 16) {
        setSceneTime(t);
        screen.clear(0.5f, 0.5f, 0.5f);
        pool.draw(screen);
    }
    int dark = 0;
    int light = 0;
    countShards(dark, light);
    EXPECT_GT(dark, 150);
    EXPECT_GT(light, 150);
}

#include "demo/finale/cloth.h"
#include "demo/finale/crawler.h"
#include "demo/shared/demo_clock.h"
#include "demo/finale/finale.h"
#include "figures/random.h"
#include "framework/render/gl_renderer.h"
#include "tests/fake_clock.h"
#include "tests/shared_window.h"
#include "tests/window_capture.h"

#include <GL/glew.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

int darkPixels(const std::vector<uint8_t>& rgb) {
    int dark = 0;
    for (std::size_t i = 0; i < rgb.size(); i += 3) dark += rgb[i] < 128 && rgb[i + 1] < 128 && rgb[i + 2] < 128;
    return dark;
}

// Where a world point of the finale lands in the window, bottom row 0,
// seen through the projection the cloth left behind and its camera.
bool windowPoint(Vec2 world, int& x, int& y) {
    GLdouble projection[16], modelView[16];
    GLint view[4];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, view);
    glPushMatrix();
    glLoadIdentity();
    gluLookAt(0, std::cos(1.0) * 300, std::sin(1.0) * 300, 0, 0, 0, 0, 1, 0);
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    glPopMatrix();
    GLdouble wx, wy, wz;
    if (!gluProject(world.x, world.y, 0, modelView, projection, view, &wx, &wy, &wz)) return false;
    x = static_cast<int>(wx);
    y = static_cast<int>(wy);
    return x >= 0 && x < kWindowWidth && y >= 0 && y < kWindowHeight;
}

bool darkNear(const std::vector<uint8_t>& rgb, int x, int y) {
    for (int dy = -3; dy <= 3; ++dy) {
        for (int dx = -3; dx <= 3; ++dx) {
            int px = std::clamp(x + dx, 0, kWindowWidth - 1), py = std::clamp(y + dy, 0, kWindowHeight - 1);
            if (rgb[(static_cast<std::size_t>(py) * kWindowWidth + px) * 3] < 128) return true;
        }
    }
    return false;
}

struct LimbSamples {
    int onScreen = 0;
    int dark = 0;
};

// Points along the creature's limbs, from the body out, in the window.
LimbSamples sampleLimbs(const Crawler& crawler, const std::vector<uint8_t>& rgb) {
    LimbSamples samples;
    Vec2 body = crawler.anchor();
    for (auto& limb : crawler.limbs()) {
        Vec2 reach = limb->farEnd() + crawler.offset();
        Vec2 far{screenToWorldX(reach.x), screenToWorldY(reach.y)};
        for (int step = 1; step <= 500; ++step) {
            int x = 0, y = 0;
            if (!windowPoint(body + (far - body) * (step / 500.0f), x, y)) continue;
            ++samples.onScreen;
            samples.dark += darkNear(rgb, x, y);
        }
    }
    return samples;
}

using FinaleGLTest = FakeClockTest;

}  // namespace

TEST_F(FinaleGLTest, ClothAndCreatureMoveOnTheWhiteScreen) {
    if (!openSharedWindow()) GTEST_SKIP() << "no OpenGL window could be opened";
    GLRenderer renderer(kWindowWidth, kWindowHeight);
    // The show's renderer has drawn the figures long before the finale.
    renderer.begin(Renderer::Lines);
    renderer.end();
    seedRandom(666);
    Finale finale(&renderer);

    setSceneTime(400000);
    renderer.clear(1, 1, 1);
    finale.frame(renderer);
    EXPECT_EQ(darkPixels(windowPixels()), 0) << "nothing before the end sequence";
    // The main loop runs on through the figures' last frames.
    setSceneTime(461985);

    std::vector<uint8_t> previous;
    int shot = 0;
    for (int now = 462001; now <= 462001 + 25000; now += 16) {
        setSceneTime(now);
        renderer.clear(1, 1, 1);
        finale.frame(renderer);
        int elapsed = now - 462001;
        if (elapsed % 5008 != 0) continue;

        std::vector<uint8_t> rgb = windowPixels();
        saveWindowPng(rgb, "vorn-finale-" + std::to_string(shot++) + ".png");
        int dark = darkPixels(rgb);
        EXPECT_GT(dark, 2000) << elapsed;
        EXPECT_LT(dark, kWindowWidth * kWindowHeight / 2) << elapsed;
        // The limbs fade in over the first 100 ms.
        if (elapsed > 100) {
            LimbSamples limbs = sampleLimbs(finale.crawler(), rgb);
            EXPECT_GT(limbs.onScreen, 10) << elapsed;
            // All but a few at the window's edges, where rounding may miss.
            EXPECT_GE(limbs.dark * 20, limbs.onScreen * 19) << "limbs off the camera's view at " << elapsed;
        }
        if (!previous.empty()) {
            EXPECT_NE(rgb, previous) << "still at " << elapsed;
        }
        previous = rgb;
    }
    GLenum error = glGetError();
    EXPECT_EQ(error, static_cast<GLenum>(GL_NO_ERROR)) << gluErrorString(error);
}

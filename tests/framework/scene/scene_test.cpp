#include "demo/scenes/blank_scene.h"
#include "engine/core/exception.h"
#include "framework/render/frame_bitmap.h"
#include "framework/scene/render_context.h"
#include "framework/scene/scene.h"
#include "framework/scene/scene_manager.h"
#include "framework/clock/timer.h"
#include "framework/window/viewport.h"
#include "tests/fake_clock.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Thrown by pointer, as the music player throws; counts the ones not freed.
struct CountedException : zentac::Exception {
    static inline int live = 0;
    explicit CountedException(const char* message) : Exception("", message, __FILE__, __LINE__) { ++live; }
    ~CountedException() override { --live; }
};

class RecordingScene : public Scene {
public:
    explicit RecordingScene(std::vector<std::string>* log, const char* name) : log_(log), name_(name) {}
    void setup() override {
        Scene::setup();
        note("setup");
    }
    void reset() override {
        Scene::reset();
        note("reset");
    }
    void init() override {
        note("init");
        if (failInit) ZENTAC_THROW("no data");
        if (failInitByPointer) throw new CountedException("Couldn't load 'music'");
    }
    void shutdown() override { note("shutdown"); }
    void activate() override { note("activate"); }
    void frame() override { note("frame"); }
    void deactivate() override { note("deactivate"); }
    bool isRunning() override { return drawing && Scene::isRunning(); }

    bool failInit = false;
    bool failInitByPointer = false;
    bool drawing = true;

private:
    void note(const char* hook) { log_->push_back(name_ + ":" + hook); }
    std::vector<std::string>* log_;
    std::string name_;
};

struct CountingFallback : SceneFallback {
    void run() override { ++runs; }
    int runs = 0;
};

class SceneTest : public FakeClockTest {
protected:
    std::vector<std::string> log;
};

}  // namespace

TEST_F(SceneTest, LifecycleRunsHooksInOrderAndSwitchingResetsTheClock) {
    SceneManager& manager = SceneManager::instance();
    auto first = std::make_unique<RecordingScene>(&log, "a");
    auto second = std::make_unique<RecordingScene>(&log, "b");
    manager.setFirst(first.get());
    manager.addScene(second.get());
    manager.loadAll();
    manager.switchTo(0);
    fakeTicks += 250;
    manager.update();
    EXPECT_EQ(Timer::instance().getTime(), 250);
    EXPECT_EQ(log, (std::vector<std::string>{"a:setup", "a:init", "b:setup", "b:init", "a:deactivate", "a:reset",
                                             "a:activate", "a:frame"}));

    log.clear();
    manager.switchTo(2);
    EXPECT_TRUE(log.empty()) << "an index past the end does nothing";
    EXPECT_EQ(Timer::instance().getTime(), 250);

    manager.switchTo(0);
    EXPECT_EQ(Timer::instance().getTime(), 0) << "re-entering the current scene resets the clock";
    log.clear();
    manager.switchTo(1);
    second->drawing = false;
    fakeTicks += 40;
    manager.update();
    EXPECT_EQ(Timer::instance().getTime(), 40) << "a scene that does not run still updates the clock";
    manager.finishAll();
    EXPECT_EQ(log, (std::vector<std::string>{"a:deactivate", "b:reset", "b:activate", "b:deactivate", "a:shutdown",
                                             "b:shutdown"}));
}

TEST_F(SceneTest, FailureBecomesIntegerZeroOrFallsBack) {
    RecordingScene failing(&log, "f");
    failing.failInit = true;
    testing::internal::CaptureStderr();
    try {
        failing.load();
        FAIL() << "load must throw";
    } catch (int code) {
        EXPECT_EQ(code, 0);
    }
    EXPECT_NE(testing::internal::GetCapturedStderr().find("no data"), std::string::npos)
        << "the cause reaches standard error";

    RecordingScene guarded(&log, "g");
    CountingFallback fallback;
    guarded.failInit = true;
    guarded.setFallback(&fallback);
    testing::internal::CaptureStderr();
    guarded.load();
    testing::internal::GetCapturedStderr();
    EXPECT_FALSE(guarded.isLoaded());
    guarded.enter();
    guarded.update();
    EXPECT_EQ(fallback.runs, 1);
}

TEST_F(SceneTest, AFailureThrownByPointerIsReportedAndFreed) {
    RecordingScene failing(&log, "f");
    failing.failInitByPointer = true;
    testing::internal::CaptureStderr();
    EXPECT_THROW(failing.load(), int);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Couldn't load 'music'"), std::string::npos);
    EXPECT_EQ(CountedException::live, 0);
}

TEST_F(SceneTest, DefaultSceneClearsAMissingFrameBitmapSafely) {
    SceneManager& manager = SceneManager::instance();
    manager.loadAll();
    manager.switchTo(0);
    manager.update();
    FrameBitmap frame(4, 2);
    frame.clear(9, 9, 9);
    RenderContext::instance().setFrameBitmap(&frame);
    manager.update();
    EXPECT_EQ(frame.pixels()[7] & 0xFFFFFF, 0u);
    RenderContext::instance().setFrameBitmap(nullptr);
}

TEST(FrameBitmap, ClearsToBgrAndCopiesOnlyEqualSizes) {
    FrameBitmap a(3, 2);
    FrameBitmap b(3, 2);
    FrameBitmap small(2, 2);
    b.clear(0x11, 0x22, 0x33);
    EXPECT_EQ(b.pixels()[5] & 0xFFFFFF, 0x112233u);
    EXPECT_TRUE(a.copyFrom(b));
    EXPECT_EQ(a.pixels()[5] & 0xFFFFFF, 0x112233u);
    EXPECT_FALSE(small.copyFrom(b));
    EXPECT_FALSE(b.copyFrom(small));
}

TEST(Viewport, DerivesBoundsAndScalesFromTheWindowSize) {
    Viewport& viewport = Viewport::instance();
    viewport.setSize(1024, 768);
    EXPECT_EQ(viewport.centerX(), 512);
    EXPECT_EQ(viewport.centerY(), 384);
    EXPECT_EQ(viewport.leftPixel(), 20);
    EXPECT_EQ(viewport.rightPixel(), 1002);
    EXPECT_EQ(viewport.topPixel(), 15);
    EXPECT_EQ(viewport.bottomPixel(), 751);
    EXPECT_FLOAT_EQ(viewport.aspect(), 1.0f);
    EXPECT_NEAR(viewport.screenScaleX() * viewport.projectionScaleX(), 400.0f * 3.2f, 1e-2);
}

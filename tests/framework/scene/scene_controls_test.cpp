#include "framework/scene/control_actions.h"
#include "framework/scene/input_bindings.h"
#include "framework/scene/input_holder.h"
#include "framework/input/key_code_table.h"
#include "framework/input/keyboard_listeners.h"
#include "framework/midi/midi_controller_layout.h"
#include "framework/midi/midi_key_registry.h"
#include "framework/midi/midi_listeners.h"
#include "framework/window/platform_backend.h"
#include "framework/scene/render_context.h"
#include "framework/scene/scene.h"
#include "framework/scene/scene_manager.h"
#include "framework/clock/timer.h"
#include "framework/window/window.h"
#include "tests/fake_clock.h"
#include "tests/framework/event_list_dir.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <span>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

struct CountingAction : Triggerable {
    void trigger(int) override { ++fired; }
    using Triggerable::trigger;
    int fired = 0;
};

struct PlainScene : Scene {
    void activate() override { ++entries; }
    int entries = 0;
};

// A scene with the default controls and, after them, one key of its own.
struct MarkedScene : PlainScene {
    void setup() override {
        Scene::setup();
        bindKey(&marker, KeyCode::letter('M'));
    }
    CountingAction marker;
};

// Two scenes of the show, loaded, owned by the test.
template <typename S>
std::pair<S*, S*> loadTwoScenes(std::vector<std::unique_ptr<Scene>>& owned) {
    SceneManager& manager = SceneManager::instance();
    auto* first = new S;
    auto* second = new S;
    owned.emplace_back(first);
    owned.emplace_back(second);
    manager.setFirst(first);
    manager.addScene(second);
    manager.loadAll();
    return {first, second};
}

// The bindings a scene published, as the manager's switch leaves them.
InputBindings* bindingsOf(unsigned index) {
    SceneManager::instance().switchTo(index);
    return RenderContext::instance().getInputBindings();
}

// The first trigger id of the scenes' setup; 0 in a fresh process.
int firstIdOf(const InputBindings* bindings) {
    int id = 0;
    while (!bindings->actionFor(id)) ++id;
    return id;
}

std::string record(int id, int time) {
    return "eventid = " + std::to_string(id) + "\ntime = " + std::to_string(time) + "\n";
}

}  // namespace

using SceneControls = FakeClockTest;

TEST_F(SceneControls, DefaultControlsTakeFourteenIdsPerSceneInSetupOrder) {
    SceneManager& manager = SceneManager::instance();
    std::vector<std::unique_ptr<Scene>> owned;
    loadTwoScenes<PlainScene>(owned);
    InputBindings* first = bindingsOf(0);
    InputBindings* second = bindingsOf(1);
    int base = firstIdOf(first);

    EXPECT_NE(dynamic_cast<TriplePressQuitAction*>(first->actionFor(base)), nullptr);
    EXPECT_NE(dynamic_cast<TriplePressQuitAction*>(second->actionFor(base + 14)), nullptr);
    for (int k = 0; k < 9; ++k) {
        auto* jump = dynamic_cast<JumpToSceneAction*>(first->actionFor(base + 1 + k));
        ASSERT_NE(jump, nullptr) << "F" << k + 1;
        EXPECT_NE(dynamic_cast<JumpToSceneAction*>(second->actionFor(base + 15 + k)), nullptr);
        restartSceneAt(fakeTicks);
        manager.switchTo(0);
        setSceneTime(300);
        jump->trigger();
        EXPECT_EQ(manager.currentIndex(), k == 1 ? 1u : 0u) << "F" << k + 1 << " jumps to scene " << k;
        EXPECT_EQ(Timer::instance().getTime(), k < 2 ? 0 : 300) << "a missing scene is not entered";
    }
    for (int gain = 0; gain < 4; ++gain) {
        ASSERT_NE(first->actionFor(base + 10 + gain), nullptr);
        EXPECT_EQ(first->actionFor(base + 10 + gain), second->actionFor(base + 24 + gain))
            << "the two gains are shared by every scene";
    }
    EXPECT_EQ(first->actionFor(base + 14), nullptr);
    EXPECT_EQ(second->actionFor(base + 13), nullptr);
    EXPECT_EQ(second->actionFor(base + 28), nullptr);
}

TEST_F(SceneControls, LayoutControllersStepTheirValuesLive) {
    struct TwoFaders : MidiControllerLayout {
        int channelA() const override { return 3; }
        std::span<const int> controllersA() const override { return faders; }
        int channelB() const override { return -1; }
        std::span<const int> controllersB() const override { return {}; }
        int faders[2] = {20, 21};
    } layout;
    PlainScene scene;
    scene.setControllerLayout(&layout);
    scene.load();
    scene.enter();

    MidiListeners* listeners = RenderContext::instance().getMidiListeners();
    MidiKeyRegistry& registry = MidiKeyRegistry::instance();
    for (int i = 0; i < 3; ++i) listeners->dispatch(registry.getKey(3, 21, 0xB0, +1));
    listeners->dispatch(registry.getKey(3, 21, 0xB0, -1));
    listeners->dispatch(registry.getKey(3, 20, 0xB0, -1));
    scene.update();
    RenderContext& context = RenderContext::instance();
    EXPECT_NEAR(context.controllerValueA(1), 2 * 0.007874f, 1e-6);
    EXPECT_FLOAT_EQ(context.controllerValueA(0), 0.0f);
    EXPECT_FLOAT_EQ(context.controllerValueA(2), 0.0f);
}

using SceneReplay = FakeClockTest;

TEST_F(SceneReplay, ConsumesEventsInOrderAcrossTheSwitch) {
    Platform::setBackend(0);
    SceneManager& manager = SceneManager::instance();
    std::vector<std::unique_ptr<Scene>> owned;
    auto [first, second] = loadTwoScenes<MarkedScene>(owned);
    int base = firstIdOf(bindingsOf(0));
    const int firstMarker = base + 14, secondMarker = base + 29, jumpToSecond = base + 2, secondEscape = base + 15;

    EventListDir dir;
    dir.write(record(firstMarker, 0) + record(secondMarker, 10) + record(jumpToSecond, 500) +
              // Due at once against the reset clock, so still the first
              // scene's: its marker fires, the second's id is dropped.
              record(firstMarker, 0) + record(secondMarker, 0) +
              // Now the second scene's.
              record(secondMarker, 100) + record(secondEscape, 150) + record(secondEscape, 150) +
              record(secondEscape, 150) + record(-1, -1));
    manager.switchTo(0);
    manager.playbackAll();

    RenderContext::instance().getKeyboardListeners()->dispatch(
        static_cast<int8_t>(KeyCodeTable::scanCode(KeyCode::letter('M'))));
    for (int ms : {20, 499, 500}) {
        setSceneTime(ms);
        manager.update();
    }
    EXPECT_EQ(manager.currentIndex(), 1u);
    EXPECT_EQ(first->marker.fired, 2) << "a live key does nothing in playback";
    EXPECT_EQ(second->marker.fired, 0);

    setSceneTime(600);
    manager.update();
    EXPECT_EQ(second->marker.fired, 1);
    EXPECT_FALSE(Platform::isQuitRequested());
    setSceneTime(650);
    manager.update();
    EXPECT_TRUE(Platform::isQuitRequested()) << "three Escapes of the second scene at once";
}

// The show under a real window (Xvfb in the test run): replayed events and
// live keys from the window's event queue.
class ShowTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display";
        window.setFullscreen(false);
        try {
            window.open();
        } catch (int) {
            GTEST_SKIP() << "no window could be opened";
        }
        std::tie(first, second) = loadTwoScenes<PlainScene>(owned);
        InputHolder::instance().install();
        manager.switchTo(0);
    }

    // The main loop, bounded in case the show never ends.
    bool runUntilQuit() {
        uint32_t start = Platform::getTickCount();
        while (!window.isQuitRequested()) {
            if (Platform::getTickCount() - start > 10000) return false;
            manager.update();
            window.update();
        }
        return true;
    }

    static void pushKey(SDL_Scancode key, Uint32 type) {
        SDL_Event event{};
        event.type = type;
        event.key.keysym.scancode = key;
        SDL_PushEvent(&event);
    }

    // One press and release, handed on by the pump; then one frame.
    void press(SDL_Scancode key) {
        pushKey(key, SDL_KEYDOWN);
        window.update();
        manager.update();
        pushKey(key, SDL_KEYUP);
        window.update();
    }

    Window window{1024, 768};
    SceneManager& manager = SceneManager::instance();
    std::vector<std::unique_ptr<Scene>> owned;
    PlainScene* first = nullptr;
    PlainScene* second = nullptr;
};

TEST_F(ShowTest, ReplayedEventsSwitchToTheNextSceneAndQuit) {
    int base = firstIdOf(bindingsOf(0));
    EventListDir dir;
    dir.write(record(base + 2, 500) + record(base + 14, 100) + record(base + 14, 100) + record(base + 14, 100));
    // The replayed times count from the first scene's entry.
    uint32_t start = Platform::getTickCount();
    manager.switchTo(0);
    manager.playbackAll();
    ASSERT_TRUE(runUntilQuit());
    EXPECT_GE(Platform::getTickCount() - start, 600u);
    EXPECT_EQ(manager.currentIndex(), 1u);
    EXPECT_EQ(second->entries, 1);
    manager.finishAll();
    window.close();
}

TEST_F(ShowTest, FunctionKeysJumpAndATripleEscapeQuits) {
    press(SDL_SCANCODE_F2);
    EXPECT_EQ(manager.currentIndex(), 1u);
    press(SDL_SCANCODE_F5);
    EXPECT_EQ(manager.currentIndex(), 1u) << "there is no scene 4";
    press(SDL_SCANCODE_F1);
    EXPECT_EQ(manager.currentIndex(), 0u);
    EXPECT_EQ(first->entries, 2);

    press(SDL_SCANCODE_ESCAPE);
    press(SDL_SCANCODE_ESCAPE);
    EXPECT_FALSE(window.isQuitRequested());
    press(SDL_SCANCODE_ESCAPE);
    EXPECT_TRUE(window.isQuitRequested());
    window.close();
}

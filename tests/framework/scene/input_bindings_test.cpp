#include "engine/core/exception.h"
#include "framework/scene/clamped_value.h"
#include "framework/scene/control_actions.h"
#include "framework/input/event_recorder.h"
#include "framework/scene/input_bindings.h"
#include "framework/input/key_code_table.h"
#include "framework/input/keyboard_listeners.h"
#include "framework/midi/midi_key_registry.h"
#include "framework/midi/midi_listeners.h"
#include "framework/window/platform_backend.h"
#include "framework/scene/render_context.h"
#include "framework/clock/timer.h"
#include "tests/fake_clock.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

namespace {

// Logs every firing as (tag, value).
struct LoggingAction : Triggerable {
    LoggingAction(std::vector<std::pair<int, int>>* log, int tag) : log(log), tag(tag) {}
    void trigger(int value) override { log->push_back({tag, value}); }
    using Triggerable::trigger;
    std::vector<std::pair<int, int>>* log;
    int tag;
};

// Scene time from a fake tick count, and listener maps for triggers made
// outside a scene.
class BindingsTest : public FakeClockTest {
protected:
    void SetUp() override {
        FakeClockTest::SetUp();
        RenderContext::instance().setKeyboardListeners(&keys);
        RenderContext::instance().setMidiListeners(&midi);
    }
    void TearDown() override {
        RenderContext::instance().setKeyboardListeners(nullptr);
        RenderContext::instance().setMidiListeners(nullptr);
        FakeClockTest::TearDown();
    }

    KeyboardListeners keys;
    MidiListeners midi;
    std::vector<std::pair<int, int>> log;
};

}  // namespace

TEST_F(BindingsTest, TriplePressQuitsOnlyWithinOneSecondOfTheFirstPress) {
    Platform::setBackend(0);
    TriplePressQuitAction slow;
    for (int ms : {0, 900, 1100}) {
        setSceneTime(ms);
        slow.trigger();
    }
    EXPECT_FALSE(Platform::isQuitRequested()) << "the press at 1100 ms starts a new series";

    TriplePressQuitAction quick;
    for (int ms : {2000, 2450, 2900}) {
        setSceneTime(ms);
        quick.trigger();
    }
    EXPECT_TRUE(Platform::isQuitRequested());
}

TEST_F(BindingsTest, EachTriggerKindCountsItsHitsAndFiresInIdOrder) {
    InputBindings bindings;
    LoggingAction keyAction(&log, 1), midiAction(&log, 2), timedAction(&log, 3);
    bindings.bindKeys(&keyAction, {KeyCode::letter('Q'), KeyCode::Space, 0xFF, KeyCode::Escape});
    bindings.bindMidi(&midiAction, 3, {7, 10, -1, 11}, 0xB0, +1);
    bindings.bindTimed(&timedAction, {100, 200, 300, -5, 400});

    int keyId = -1, midiId = -1, timedId = -1;
    for (int id = 0; keyId < 0 || midiId < 0 || timedId < 0; ++id) {
        Triggerable* action = bindings.actionFor(id);
        if (action == &keyAction) keyId = id;
        if (action == &midiAction) midiId = id;
        if (action == &timedAction) timedId = id;
    }
    EXPECT_EQ(midiId, keyId + 1);
    EXPECT_EQ(timedId, keyId + 2);
    EXPECT_EQ(bindings.actionFor(timedId + 1), nullptr);

    // Two key presses between frames are one hit; every MIDI message counts,
    // under either of its data values; times long past fire one per frame.
    keys.dispatch(static_cast<int8_t>(KeyCodeTable::scanCode(KeyCode::Space)));
    keys.dispatch(static_cast<int8_t>(KeyCodeTable::scanCode(KeyCode::letter('Q'))));
    keys.dispatch(static_cast<int8_t>(KeyCodeTable::scanCode(KeyCode::Escape)));
    MidiKeyRegistry& registry = MidiKeyRegistry::instance();
    midi.dispatch(registry.getKey(3, 7, 0xB0, +1));
    midi.dispatch(registry.getKey(3, 10, 0xB0, +1));
    midi.dispatch(registry.getKey(3, 11, 0xB0, +1));
    midi.dispatch(registry.getKey(3, 7, 0xB0, -1));
    setSceneTime(1000);
    bindings.update();
    EXPECT_EQ(log, (std::vector<std::pair<int, int>>{{1, keyId}, {2, midiId}, {2, midiId}, {3, timedId}}));

    log.clear();
    bindings.update();
    bindings.update();
    bindings.update();
    EXPECT_EQ(log, (std::vector<std::pair<int, int>>{{3, timedId}, {3, timedId}}))
        << "the list ends at its first negative time";

    keys.dispatch(static_cast<int8_t>(KeyCodeTable::scanCode(KeyCode::Space)));
    log.clear();
    bindings.setRecording();
    std::size_t recordedBefore = EventRecorder::instance().events().size();
    bindings.update();
    ASSERT_EQ(EventRecorder::instance().events().size(), recordedBefore + 1);
    EXPECT_EQ(EventRecorder::instance().events().back().eventId, keyId);
    EXPECT_EQ(EventRecorder::instance().events().back().time, 1000);
    EXPECT_EQ(log, (std::vector<std::pair<int, int>>{{1, keyId}}));
}

TEST_F(BindingsTest, KeyAndMidiTriggersNeedAListenerMap) {
    InputBindings bindings;
    LoggingAction action(&log, 0);
    RenderContext::instance().setKeyboardListeners(nullptr);
    RenderContext::instance().setMidiListeners(nullptr);
    EXPECT_THROW(bindings.bindKeys(&action, {KeyCode::Escape}), zentac::Exception);
    EXPECT_THROW(bindings.bindMidiClock(&action), zentac::Exception);
}

TEST(ClampedValue, StepsStayInsideTheRangeWhenRead) {
    ClampedValue gain(0.0f, 1.0f, 0.0f, 0.008f, -0.008f);
    for (int i = 0; i < 200; ++i) gain.upAction()->trigger();
    EXPECT_FLOAT_EQ(gain.get(), 1.0f);
    gain.downAction()->trigger();
    EXPECT_NEAR(gain.get(), 0.992f, 1e-6);
    for (int i = 0; i < 500; ++i) {
        gain.downAction()->trigger();
        EXPECT_GE(gain.get(), 0.0f);
    }
    gain.upAction()->trigger();
    EXPECT_NEAR(gain.get(), 0.008f, 1e-6) << "reading stores the clamped value";

    RenderContext::ControllerGroup group;
    group.push_back(std::make_unique<ClampedValue>(0.0f, 1.0f, 0.5f, 0.1f, -0.1f));
    RenderContext& context = RenderContext::instance();
    context.setControllerGroupA(&group);
    context.setControllerGroupB(nullptr);
    EXPECT_FLOAT_EQ(context.controllerValueA(0), 0.5f);
    EXPECT_FLOAT_EQ(context.controllerValueA(1), 0.0f);
    EXPECT_FLOAT_EQ(context.controllerValueA(-1), 0.0f);
    EXPECT_FLOAT_EQ(context.controllerValueB(0), 0.0f);
    context.setControllerGroupA(nullptr);
}

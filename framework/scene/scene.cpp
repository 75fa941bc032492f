#include "framework/scene/scene.h"

#include "engine/core/exception.h"
#include "framework/audio/audio_recorder.h"
#include "framework/scene/clamped_value.h"
#include "framework/scene/control_actions.h"
#include "framework/scene/input_bindings.h"
#include "framework/input/key_code_table.h"
#include "framework/input/keyboard_listeners.h"
#include "framework/midi/midi_controller_layout.h"
#include "framework/midi/midi_listeners.h"
#include "framework/window/platform_backend.h"
#include "framework/scene/render_context.h"
#include "framework/clock/timer.h"
#include "framework/window/viewport.h"

#include <cstdio>
#include <exception>

namespace {

// Writes what failed; an exception thrown by pointer is freed here, since
// the scene ends its flight.
void reportFailure(const char* entryPoint) {
    try {
        throw;
    } catch (const zentac::Exception& e) {
        std::fprintf(stderr, "scene %s failed: %s (%s:%d)\n", entryPoint, e.Message().Data(), e.File().Data(), e.Line());
    } catch (const zentac::Exception* e) {
        std::fprintf(stderr, "scene %s failed: %s\n", entryPoint, e->Message().Data());
        delete e;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "scene %s failed: %s\n", entryPoint, e.what());
    } catch (int code) {
        std::fprintf(stderr, "scene %s failed with code %d\n", entryPoint, code);
    } catch (...) {
        std::fprintf(stderr, "scene %s failed\n", entryPoint);
    }
}

constexpr int controlChange = 0xB0;
constexpr int volumeController = 7;
constexpr unsigned sceneKeys = 9;

// Made by the first scene that installs its controls, shared by all scenes.
struct SharedGains {
    ClampedValue a{0.0f, 1.0f, 0.0f, 0.008f, -0.008f};
    ClampedValue b{0.0f, 1.0f, 0.0f, 0.008f, -0.008f};
};

SharedGains& sharedGains() {
    static SharedGains* gains = new SharedGains;
    return *gains;
}

}  // namespace

template <typename Step>
bool Scene::guarded(const char* entryPoint, Step step) {
    try {
        step();
        return true;
    } catch (...) {
        reportFailure(entryPoint);
        if (!fallback_) throw 0;
        return false;
    }
}

Scene::Scene() = default;

Scene::~Scene() {
    // The key callback and trigger constructors must not reach a scene that
    // is gone.
    RenderContext& context = RenderContext::instance();
    if (bindings_ && context.getInputBindings() == bindings_.get()) {
        context.setInputBindings(nullptr);
        context.setMidiListeners(nullptr);
        context.setKeyboardListeners(nullptr);
        context.setControllerGroupA(nullptr);
        context.setControllerGroupB(nullptr);
    }
}

void Scene::setup() {
    bindings_ = std::make_unique<InputBindings>();
    midiListeners_ = std::make_unique<MidiListeners>();
    keyboardListeners_ = std::make_unique<KeyboardListeners>();
    // Trigger constructors register with the maps the context holds.
    publishInputContext();
    if (defaultControls_) installControls();
}

void Scene::reset() { publishInputContext(); }

void Scene::publishInputContext() {
    RenderContext& context = RenderContext::instance();
    context.setInputBindings(bindings_.get());
    context.setMidiListeners(midiListeners_.get());
    context.setKeyboardListeners(keyboardListeners_.get());
    context.setControllerGroupA(&controllerGroupA_);
    context.setControllerGroupB(&controllerGroupB_);
}

void Scene::bindKey(Triggerable* action, int keyCode) { bindings_->bindKeys(action, {keyCode}); }

void Scene::bindKeys(Triggerable* action, const std::vector<int>& keyCodes) { bindings_->bindKeys(action, keyCodes); }

void Scene::bindTimed(Triggerable* action, const std::vector<int>& times) { bindings_->bindTimed(action, times); }

void Scene::bindMidiClock(Triggerable* action) { bindings_->bindMidiClock(action); }

void Scene::bindMidiStop(Triggerable* action) { bindings_->bindMidiStop(action); }

void Scene::bindMidiData(Triggerable* action, int channel, const std::vector<int>& data, int status) {
    bindings_->bindMidi(action, channel, data, status, 0);
}

void Scene::bindMidiValue(Triggerable* action, int channel, int data, int status) {
    bindings_->bindMidi(action, channel, {data}, status, 0);
}

void Scene::bindMidi(Triggerable* up, Triggerable* down, int channel, int controller, int status) {
    bindings_->bindMidi(up, channel, {controller}, status, +1);
    bindings_->bindMidi(down, channel, {controller}, status, -1);
}

#ifndef VORN_EARLY
void Scene::bindSoundLevel(Triggerable* action, float threshold, float from, float to) {
    bindings_->bindSoundLevel(action, threshold, from, to);
}
#endif

void Scene::setRecording() {
    if (bindings_) bindings_->setRecording();
}

void Scene::setPlayback() {
    if (bindings_) bindings_->setPlayback();
}

// The order fixes the trigger ids that the event list refers to.
void Scene::installControls() {
    bindKey(keep(std::make_unique<TriplePressQuitAction>()), KeyCode::Escape);
    for (unsigned scene = 0; scene < sceneKeys; ++scene) {
        bindKey(keep(std::make_unique<JumpToSceneAction>(scene)), KeyCode::F1 + static_cast<int>(scene));
    }
    bindMidi(gainA().upAction(), gainA().downAction(), 2, volumeController, controlChange);
    bindMidi(gainB().upAction(), gainB().downAction(), 1, volumeController, controlChange);
    static NoControllersLayout noControllers;
    if (!hasControllerLayout()) setControllerLayout(&noControllers);
    bindLayoutControllers();
}

ClampedValue& Scene::gainA() { return sharedGains().a; }

ClampedValue& Scene::gainB() { return sharedGains().b; }

void Scene::bindLayoutControllers() {
    if (!controllerLayout_) return;
    bindControllerGroup(controllerLayout_->channelA(), controllerLayout_->controllersA(), controllerGroupA_);
    bindControllerGroup(controllerLayout_->channelB(), controllerLayout_->controllersB(), controllerGroupB_);
}

void Scene::bindControllerGroup(int channel, std::span<const int> controllers, ControllerGroup& group) {
    for (int controller : controllers) {
        auto value = std::make_unique<ClampedValue>(0.0f, 1.0f, 0.0f, 0.007874f, -0.007874f);
        bindMidi(value->upAction(), value->downAction(), channel, controller, controlChange);
        group.push_back(std::move(value));
    }
}

Triggerable* Scene::keep(std::unique_ptr<Triggerable> action) {
    controlActions_.push_back(std::move(action));
    return controlActions_.back().get();
}

void Scene::load() {
    if (!guarded("load", [this] {
            setup();
            init();
            loaded_ = true;
        })) {
        loaded_ = false;
    }
}

void Scene::enter() {
    if (!guarded("enter", [this] {
            reset();
            Timer::instance().reset();
            activate();
            running_ = true;
            activated_ = true;
        })) {
        activated_ = false;
    }
}

void Scene::update() {
    bool ok = guarded("update", [this] {
        if (loaded_ && activated_ && enabled_) {
            Timer::instance().update();
            updateBindings();
            feedSoundAnalyser();
            if (isRunning()) frame();
            forwardClick();
        } else {
            Timer::instance().update();
            updateBindings();
            if (fallback_) fallback_->run();
        }
    });
    if (!ok) enabled_ = false;
}

void Scene::leave() {
    guarded("leave", [this] {
        deactivate();
        running_ = false;
    });
}

void Scene::finish() { shutdown(); }

void Scene::feedSoundAnalyser() {
    AudioRecorder& recorder = AudioRecorder::instance();
    const bool useGains = Viewport::instance().useMidiGains();
    recorder.setInputLevel(useGains ? gainA().get() : 1.0f);
    recorder.setWeight(useGains ? gainB().get() : 1.0f);
}

// A scene that never set up has no bindings to update.
void Scene::updateBindings() {
    if (bindings_) bindings_->update();
}

void Scene::forwardClick() {
    if (!clickReceiver_) return;
    if (Platform::mouseClicked()) clickReceiver_->click(Platform::mouseX(), Platform::mouseY());
    clickReceiver_->idle(0, 0);
}

#include "framework/audio/audio_recorder.h"
#include "framework/input/event_recorder.h"
#include "framework/files/file_system.h"
#include "framework/render/image_cache.h"
#include "framework/scene/input_holder.h"
#include "framework/midi/midi_input.h"
#include "framework/midi/midi_key_registry.h"
#include "framework/window/gl_window.h"
#include "framework/window/platform_backend.h"
#include "framework/scene/render_context.h"
#include "framework/scene/scene_manager.h"
#include "framework/clock/timer.h"
#include "framework/triggers/trigger.h"
#include "platform/ticks.h"
#include "tests/shared_state.h"

namespace {

const ResetAfterEachTest frameworkState([] {
    // A fresh window for every test: no GL state carries over.
    GLWindow::kill();
    host::setTickSource(nullptr);
    Platform::resetToStart();
    Trigger::resetIds();
    SceneManager::instance().resetToStart();
    Timer::instance().resetToStart();
    RenderContext::instance().resetToStart();
    InputHolder::instance().release();
    FileSystem::instance().resetToStart();
    ImageCache::instance().resetToStart();
    EventRecorder::instance().resetToStart();
    MidiInput::instance().resetToStart();
    MidiKeyRegistry::instance().resetToStart();
    AudioRecorder::instance().resetToStart();
});

}  // namespace

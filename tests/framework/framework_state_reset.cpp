#include "framework/audio_recorder.h"
#include "framework/event_recorder.h"
#include "framework/file_system.h"
#include "framework/image_cache.h"
#include "framework/input_holder.h"
#include "framework/midi_input.h"
#include "framework/midi_key_registry.h"
#include "framework/platform_backend.h"
#include "framework/render_context.h"
#include "framework/scene_manager.h"
#include "framework/timer.h"
#include "framework/trigger.h"
#include "platform/ticks.h"
#include "tests/shared_state.h"

namespace {

const ResetAfterEachTest frameworkState([] {
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

#include "framework/scene/scene_manager.h"

#include "framework/input/event_recorder.h"
#include "framework/render/frame_bitmap.h"
#include "framework/scene/render_context.h"
#include "framework/scene/scene.h"
#include "platform/message_box.h"

#include <cstdio>
#include <string>

namespace {

// Stands at index 0 until the show puts its first scene there.
class DefaultScene : public Scene {
public:
    void frame() override {
        if (FrameBitmap* bitmap = RenderContext::instance().getFrameBitmap()) bitmap->clear(0, 0, 0);
    }
};

}  // namespace

SceneManager& SceneManager::instance() {
    static SceneManager* manager = new SceneManager;
    return *manager;
}

SceneManager::SceneManager() {
    static DefaultScene defaultScene;
    scenes_.push_back(&defaultScene);
}

void SceneManager::resetToStart() { *this = SceneManager(); }

void SceneManager::setFirst(Scene* scene) {
    if (scenes_.empty()) {
        scenes_.push_back(scene);
    } else {
        scenes_[0] = scene;
    }
}

void SceneManager::addScene(Scene* scene) { scenes_.push_back(scene); }

void SceneManager::switchTo(unsigned index) {
    if (index >= scenes_.size()) return;
    if (Scene* leaving = current()) leaving->leave();
    current_ = index;
    scenes_[current_]->enter();
}

void SceneManager::loadAll() {
    for (Scene* scene : scenes_) {
        scene->setFallback(fallback_);
        scene->load();
    }
}

void SceneManager::update() {
    if (Scene* scene = current()) scene->update();
}

void SceneManager::finishAll() {
    if (Scene* scene = current()) scene->leave();
    for (Scene* scene : scenes_) scene->finish();
}

void SceneManager::recordAll() {
    for (Scene* scene : scenes_) scene->setRecording();
}

void SceneManager::playbackAll() {
    // Nothing else tells why the show would stand still.
    EventRecorder& recorder = EventRecorder::instance();
    const std::string problem = recorder.load();
    if (!problem.empty()) std::fprintf(stderr, "%s\n", problem.c_str());
    if (recorder.events().empty()) {
        std::fprintf(stderr,
                     "No events to replay: the show stays on its black first scene until Escape. The event list "
                     "is read from data/events.txt only, never from data/res.vorn.\n");
    } else if (!problem.empty()) {
        std::fprintf(stderr, "%zu events were read and are replayed.\n", recorder.events().size());
    }
    for (Scene* scene : scenes_) scene->setPlayback();
}

void SceneManager::askSaveEvents() {
    if (!host::messageBox("Want to save the recorded events?", "", host::Buttons::YesNo, host::Icon::Question)) return;
    if (!EventRecorder::instance().save()) {
        host::messageBox("The recorded events could not be saved to data/events.txt.", "", host::Buttons::Ok,
                         host::Icon::Error);
    }
}

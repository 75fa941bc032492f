#include "tests/demo/show_replay.h"

#include "demo/scenes/blank_scene.h"
#include "demo/scenes/main_scene.h"
#include "figures/random.h"
#include "framework/audio/audio_recorder.h"
#include "framework/render/image_cache.h"
#include "framework/render/layer_renderer.h"
#include "framework/window/platform_backend.h"
#include "framework/app/program_flags.h"
#include "framework/scene/scene_manager.h"
#include "framework/clock/timer.h"
#include "framework/window/viewport.h"
#include "platform/ticks.h"
#include "tests/demo/draw_record.h"
#include "tests/demo/draw_tally.h"
#include "tests/demo/recording_gl.h"
#include "tests/demo/recording_gl_renderer.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace {

// The show quits at 581400 ms of the main scene; this is far beyond.
constexpr int kMostPasses = 50000;
constexpr uint32_t kMainSceneSeed = 666;

uint32_t ticks = 0;
DrawRecord* layerRecord = nullptr;

std::unique_ptr<Renderer> makeLayerRecorder(int, int) { return std::make_unique<RecordingGLRenderer>(*layerRecord); }

// Every picture under data/ by the name the show asks the cache for.
void nameShowImages(DrawRecord& record) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator("data")) {
        if (entry.path().extension() != ".png") continue;
        const std::string name = entry.path().generic_string();
        record.nameImage(ImageCache::instance().get(name), name);
    }
}

}  // namespace

ShowReplay replayShow(bool highBudget, const std::vector<int>& pinTimes) {
    std::filesystem::current_path(VORN_SHOW_FOLDER);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("VORN_MESSAGEBOX", "no", 1);
    host::setTickSource([] { return ticks; });
    // Drawn into until the process ends, like the scenes that draw.
    auto* record = new DrawRecord;
    recordOpenGlInto(*record);
    layerRecord = record;
    setLayerRendererMaker(makeLayerRecorder);
    nameShowImages(*record);

    // As the program starts: the generator at its first state, the window's
    // size, both scenes loaded, the events put into playback.
    seedRandom(1);
    ProgramFlags::highBudget = highBudget;
    Viewport::instance().setSize(1024, 768);
    auto* screen = new RecordingGLRenderer(*record);
    SceneManager& scenes = SceneManager::instance();
    scenes.setFirst(new BlankScene(screen));
    scenes.addScene(new MainScene(screen));
    scenes.loadAll();
    ShowReplay replay;
    replay.startUpDraws = drawsSinceSeed(1);
    Viewport::instance().setUseMidiGains(false);
    Timer& timer = Timer::instance();
    timer.setRate(71.0f);
    AudioRecorder::instance().setEnabled(false);
    scenes.switchTo(0);
    scenes.playbackAll();

    Digest run;
    std::size_t nextPin = 0;
    // The pass that enters the main scene draws none of its frames.
    bool inMainScene = false;
    for (int pass = 0; !Platform::isQuitRequested(); ++pass) {
        if (pass == kMostPasses) throw std::runtime_error("the show did not quit");
        ticks = static_cast<uint32_t>(timer.frameToTime(pass));
        record->startFrame();
        scenes.update();
        run.add(record->frameHash());
        replay.passes = pass + 1;
        const bool entered = inMainScene;
        inMainScene = scenes.currentIndex() == 1;
        if (!entered || !inMainScene) continue;
        const int now = timer.getTime();
        for (; nextPin < pinTimes.size() && now >= pinTimes[nextPin]; ++nextPin) {
            replay.pins.push_back({pinTimes[nextPin], now, record->frameHash(), run.value(),
                                   drawsSinceSeed(kMainSceneSeed), record->frameItems()});
        }
    }
    replay.ignoredCalls = record->ignoredCalls();
    return replay;
}

std::string toText(const ShowReplay& replay) {
    std::ostringstream out;
    out << replay.startUpDraws << ' ' << replay.passes << ' ' << replay.ignoredCalls << '\n';
    for (const ShowPin& pin : replay.pins) {
        out << pin.atMs << ' ' << pin.sceneMs << ' ' << pin.frame << ' ' << pin.run << ' ' << pin.draws << ' '
            << pin.items << '\n';
    }
    return out.str();
}

ShowReplay replayFromText(const std::string& text) {
    std::istringstream in(text);
    ShowReplay replay;
    in >> replay.startUpDraws >> replay.passes >> replay.ignoredCalls;
    ShowPin pin;
    while (in >> pin.atMs >> pin.sceneMs >> pin.frame >> pin.run >> pin.draws >> pin.items) replay.pins.push_back(pin);
    return replay;
}

// framework/app: the entry and its options, boxes, stats and switches; uses every room, demo/scenes included.
#include "build_switches.h"
#include "demo/scenes/blank_scene.h"
#include "demo/scenes/main_scene.h"
#include "framework/audio/audio_recorder.h"
#include "framework/render/blend_table.h"
#include "framework/app/command_line.h"
#include "framework/render/gl_renderer.h"
#include "framework/app/failure_boxes.h"
#include "framework/files/file_system.h"
#include "framework/scene/input_holder.h"
#include "framework/input/key_code_table.h"
#include "framework/input/keyboard_device.h"
#include "framework/video/offline_loop.h"
#include "framework/files/pack_file_provider.h"
#include "framework/window/platform_backend.h"
#include "framework/app/program_flags.h"
#include "framework/app/run_stats.h"
#include "framework/scene/scene_manager.h"
#include "framework/clock/timer.h"
#include "framework/window/viewport.h"
#include "framework/window/window.h"
#include "platform/message_box.h"

#include <cstdint>
#include <memory>
#include <string>

namespace {

const char* const highBudgetQuestion =
    "Wanna run in high budget mode?\n\n\n\n"
    "If you got your computer around, say 2009\n"
    "or after - well then you can answer yes.\n"
    "If not...\n"
    "then you should probably answer no.\n\n\n\n";

const char* const credits =
    "V\nO\nR\nN\n\n-\n"
    "by\nthe vorn crew\n"
    "\n\n\n\n\n\n\n\n"
    "vorn.invalid\n"
    "\n\n\n\n\n\n\n\n"
    "pictures\nand\nsounds\nby\nthe\ncrew\n";

// What start-up makes lives until the process ends.
CommandLine* commandLine = nullptr;
Window* window = nullptr;
Renderer* renderer = nullptr;
KeyboardDevice* escapeKeys = nullptr;

// The raw command line, without the program's path, as one text.
std::string joinArguments(int argc, char** argv) {
    std::string text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) text += ' ';
        text += argv[i];
    }
    return text;
}

void readOptions(const std::string& text) {
    commandLine = new CommandLine(text.c_str());
    if (commandLine->has("-window") && commandLine->getBool("-window")) ProgramFlags::fullscreen = false;
    if (commandLine->has("-showfps") && commandLine->getBool("-showfps")) ProgramFlags::showFps = true;
}

int play(const std::string& commandLineText) {
    if (host::messageBox(highBudgetQuestion, "", host::Buttons::YesNo, host::Icon::None)) {
        ProgramFlags::highBudget = true;
    }
    readOptions(commandLineText);
    ProgramFlags::keepSettledScraps = true;
    FileSystem::instance().addProvider(std::make_unique<PackFileProvider>("data/res.vorn"));

    window = new Window(1024, 768);
    window->setFullscreen(ProgramFlags::fullscreen);
    window->open();
    renderer = new GLRenderer(1024, 768);
    Viewport::instance().setSize(1024, 768);

    SceneManager& scenes = SceneManager::instance();
    scenes.setFirst(new BlankScene(renderer));
    scenes.addScene(new MainScene(renderer));
    scenes.loadAll();
    InputHolder::instance().install();
    buildBlendTable();
    Viewport::instance().setUseMidiGains(false);
    Timer::instance().setRate(71.0f);
    // Replayed shows read every sound level as 0; live ones listen to input 0.
    if constexpr (eventPlayback) {
        AudioRecorder::instance().setEnabled(false);
    } else {
        AudioRecorder::instance().start(0);
    }
    scenes.switchTo(0);
    if constexpr (eventRecording) {
        scenes.recordAll();
    } else if constexpr (eventPlayback) {
        scenes.playbackAll();
    }

    uint32_t startTicks = Platform::getTickCount();
    uint64_t passes = 0;
    escapeKeys = new KeyboardDevice;

    if constexpr (renderVideo) {
        passes = runOfflineLoop(scenes, *window);
    } else {
        while (!window->isQuitRequested() && !escapeKeys->isKeyDown(KeyCode::Escape)) {
            scenes.update();
            window->update();
            ++passes;
        }
    }

    renderer->clear(0, 0, 0);
    window->update();
    uint32_t endTicks = Platform::getTickCount();
    scenes.finishAll();
    window->close();
    if constexpr (eventRecording) scenes.askSaveEvents();

    if (ProgramFlags::showFps) {
        showRunStats(startTicks, endTicks, passes);
    } else {
        host::messageBox(credits, "", host::Buttons::Ok, host::Icon::None);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string commandLineText = joinArguments(argc, argv);
    return runWithFailureBoxes([&] { return play(commandLineText); });
}

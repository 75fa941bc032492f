#include "demo/scenes/main_scene.h"

#include "demo/shared/demo_clock.h"
#include "demo/finale/finale.h"
#include "demo/scenes/pencil_scene.h"
#include "engine/core/exception.h"
#include "figures/branch_events.h"
#include "figures/figure_scene.h"
#include "figures/main_envelopes.h"
#include "figures/random.h"
#include "framework/audio/audio_player.h"
#include "framework/input/key_code_table.h"
#include "framework/midi/midi_input.h"
#include "framework/app/program_flags.h"
#include "framework/render/draw_probe.h"
#include "framework/render/renderer.h"
#include "framework/clock/timer.h"

namespace {

const char* const audioFolder = "data/audio/";
const char* const title = "vorn";

}  // namespace

MainScene::MainScene(Renderer* screen) : screen_(screen) {}

MainScene::~MainScene() = default;

void MainScene::init() {
    musicPath_ = std::string(audioFolder) + title + ".mp3";
    recordingPath_ = std::string(audioFolder) + title + ".txt";

    MidiInput& midi = MidiInput::instance();
    midi.open(0);
    // Without its recording the show would run with no figures at all.
    if (!midi.loadRecording(recordingPath_)) ZENTAC_THROW(("Couldn't load '" + recordingPath_ + "'").c_str());

    bindEnvelopeKeys();
    figureScene_ = std::make_unique<FigureScene>(midi, ProgramFlags::highBudget);
    figureEvent_ = std::make_unique<BranchEventTrigger>(figureScene_->branchState());
    bindKey(figureEvent_.get(), KeyCode::KeypadEnter);
    pencilScene_ = std::make_unique<PencilScene>(midi);
    finale_ = std::make_unique<Finale>(screen_);

    AudioPlayer::instance().load(musicPath_);
}

void MainScene::bindEnvelopeKeys() {
    MainEnvelopes& envelopes = MainEnvelopes::instance();
    bindKey(envelopes.flickerEnvelope(), KeyCode::letter('Q'));
    bindKey(envelopes.timeScaleEnvelope(), KeyCode::letter('W'));
    bindKey(envelopes.lineWidthEnvelope(), KeyCode::letter('E'));
    bindKey(envelopes.pulseEnvelope(), KeyCode::letter('R'));
    bindKey(envelopes.jitterEnvelope(), KeyCode::letter('T'));
    bindKey(envelopes.zoomEnvelope(), KeyCode::Space);
    bindKey(&DemoClock::instance(), KeyCode::letter('Z'));
}

void MainScene::activate() {
    seedRandom(666);
    AudioPlayer::instance().play(musicPath_);
    MainEnvelopes::instance().restartAll();
    DemoClock::instance().trigger(0);
}

void MainScene::frame() {
    int now = Timer::instance().getTime();
    if (now >= blackout) {
        screen_->clear(0, 0, 0);
        return;
    }
    MidiInput::instance().update();
    if (MainEnvelopes::instance().isPastIntro()) {
        screen_->clear(1, 1, 1);
    } else {
        screen_->clear(0, 0, 0);
    }
    if (now > pencilStart) pencilScene_->draw(*screen_);
    screen_->setLineStipple(false, 1, 0xFFFF);
    if (DemoClock::instance().isOver()) {
        finale_->frame(*screen_);
    } else {
        const draw_probe::SourceMark mark("figures");
        figureScene_->frame(*screen_);
    }
}

void MainScene::deactivate() {
    AudioPlayer& player = AudioPlayer::instance();
    if (player.isPlaying(musicPath_)) player.stop(musicPath_);
}

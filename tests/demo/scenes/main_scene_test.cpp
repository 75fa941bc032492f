#include "demo/scenes/blank_scene.h"
#include "demo/finale/cloth.h"
#include "demo/finale/crawler.h"
#include "demo/shared/demo_clock.h"
#include "demo/finale/finale.h"
#include "demo/scenes/main_scene.h"
#include "figures/branch_events.h"
#include "figures/main_envelopes.h"
#include "figures/random.h"
#include "framework/audio/audio_player.h"
#include "framework/render/gl_batch.h"
#include "framework/input/key_code_table.h"
#include "framework/input/keyboard_listeners.h"
#include "framework/scene/input_bindings.h"
#include "framework/scene/render_context.h"
#include "framework/scene/scene_manager.h"
#include "tests/demo/pencil_test_data.h"
#include "tests/fake_clock.h"
#include "tests/figures/recording_renderer.h"
#include "tests/sine_mp3.h"
#include "tests/temp_folder.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

// The main scene over a recording renderer, with a one-second tone for
// music and a recording that only ticks the MIDI clock, entered at once.
// The pencil scene's layers need the window and the show's pictures.
class MainSceneTest : public ShowDataGLTest {
protected:
    void SetUp() override {
        ShowDataGLTest::SetUp();
        if (IsSkipped()) return;
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        folder.write("data/audio/vorn.txt", "entries=2\ntime=0\nmididata=0xf8\n");
        folder.write("data/audio/vorn.mp3", EncodeSineMp3(440.0, 1.0));

        SceneManager& scenes = SceneManager::instance();
        blank = std::make_unique<BlankScene>(&renderer);
        owned = std::make_unique<MainScene>(&renderer);
        main = owned.get();
        scenes.setFirst(blank.get());
        scenes.addScene(main);
        scenes.loadAll();
        scenes.switchTo(1);
    }
    void TearDown() override {
        inFolder.reset();
        FakeClockTest::TearDown();
    }

    // One pass of the main loop at this scene time; what it cleared to.
    RecordingRenderer::Call frameAt(int ms) {
        renderer.calls.clear();
        fakeTicks = sceneStart + static_cast<uint32_t>(ms);
        SceneManager::instance().update();
        return renderer.only(RecordingRenderer::Clear).at(0);
    }
    bool drewFigures() const { return !renderer.only(RecordingRenderer::Vertex).empty(); }
    // Whether the frame laid the pencil scene's white sheet over the window.
    bool drewPencilAt(int ms) {
        glClearColor(1, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        frameAt(ms);
        uint8_t rgb[3] = {};
        GLBatch::flushCurrent();
        glReadPixels(kWindowWidth / 2, kWindowHeight / 2, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
        return rgb[1] == 255;
    }
    // The finale's cloth goes straight to OpenGL; what reaches the renderer
    // last is the creature: six limbs from its body, then the line width
    // set back to 1.
    bool drewCreatureLast() const {
        std::vector<RecordingRenderer::Call> vertices = renderer.only(RecordingRenderer::Vertex);
        if (vertices.size() < 12) return false;
        Vec2 body = main->finale()->crawler().anchor();
        for (std::size_t i = vertices.size() - 12; i < vertices.size(); i += 2) {
            if (vertices[i].a != body.x || vertices[i].b != body.y || vertices[i].c != 0.0f) return false;
        }
        const RecordingRenderer::Call& last = renderer.calls.back();
        return last.kind == RecordingRenderer::LineWidth && last.a == 1.0f;
    }

    RecordingRenderer renderer;
    std::unique_ptr<BlankScene> blank;
    std::unique_ptr<MainScene> owned;
    MainScene* main = nullptr;
};

bool isWhite(const RecordingRenderer::Call& clear) { return clear.a == 1 && clear.b == 1 && clear.c == 1; }
bool isBlack(const RecordingRenderer::Call& clear) { return clear.a == 0 && clear.b == 0 && clear.c == 0; }

}  // namespace

TEST_F(MainSceneTest, KeysBindTheFigureEnvelopesUnderTheirEventIds) {
    InputBindings* bindings = RenderContext::instance().getInputBindings();
    ASSERT_NE(bindings, nullptr);
    MainEnvelopes& envelopes = MainEnvelopes::instance();
    EXPECT_EQ(bindings->actionFor(28), envelopes.flickerEnvelope());
    EXPECT_EQ(bindings->actionFor(29), envelopes.timeScaleEnvelope());
    EXPECT_EQ(bindings->actionFor(30), envelopes.lineWidthEnvelope());
    EXPECT_EQ(bindings->actionFor(31), envelopes.pulseEnvelope());
    EXPECT_EQ(bindings->actionFor(32), envelopes.jitterEnvelope());
    EXPECT_EQ(bindings->actionFor(33), envelopes.zoomEnvelope());
    EXPECT_EQ(bindings->actionFor(34), &DemoClock::instance());
    EXPECT_NE(dynamic_cast<BranchEventTrigger*>(bindings->actionFor(35)), nullptr);
    EXPECT_EQ(bindings->actionFor(36), nullptr);
    EXPECT_NE(bindings->actionFor(14), nullptr) << "the scene's own Escape";
    EXPECT_EQ(bindings->actionFor(0), nullptr) << "scene 0's Escape";

    // Replays trigger the ids; live, the keys restart their envelopes.
    KeyboardListeners* keys = RenderContext::instance().getKeyboardListeners();
    ASSERT_NE(keys, nullptr);
    const std::pair<int, Envelope*> keyed[] = {
        {KeyCode::letter('Q'), envelopes.flickerEnvelope()},   {KeyCode::letter('W'), envelopes.timeScaleEnvelope()},
        {KeyCode::letter('E'), envelopes.lineWidthEnvelope()}, {KeyCode::letter('R'), envelopes.pulseEnvelope()},
        {KeyCode::letter('T'), envelopes.jitterEnvelope()},    {KeyCode::Space, envelopes.zoomEnvelope()}};
    int now = 2000;
    for (auto [key, envelope] : keyed) {
        keys->dispatch(static_cast<int8_t>(KeyCodeTable::scanCode(key)));
        frameAt(now += 100);
        EXPECT_EQ(envelope->startTime(), now) << "key code " << key;
    }
    EXPECT_EQ(envelopes.flickerEnvelope()->startTime(), 2100) << "one envelope a key";
}

TEST_F(MainSceneTest, EnteringReseedsRestartsAndPlaysLeavingStops) {
    EXPECT_EQ(nextRandom(), 2213) << "the first number after seeding 666";
    EXPECT_TRUE(MainEnvelopes::instance().zoomEnvelope()->isEnabled());
    EXPECT_EQ(MainEnvelopes::instance().zoomEnvelope()->startTime(), 0);
    AudioPlayer& player = AudioPlayer::instance();
    EXPECT_TRUE(player.isPlaying(main->musicPath()));

    SceneManager::instance().switchTo(0);
    EXPECT_FALSE(player.isPlaying(main->musicPath()));
    SceneManager::instance().switchTo(1);
    EXPECT_EQ(nextRandom(), 2213) << "every entry starts the same sequence";
    EXPECT_TRUE(player.isPlaying(main->musicPath()));
}

TEST_F(MainSceneTest, TimeLineThresholdsAtTheirEdges) {
    EXPECT_TRUE(isBlack(frameAt(1515)));
    EXPECT_TRUE(isWhite(frameAt(1516)));
    EXPECT_FALSE(drewPencilAt(214000));
    EXPECT_TRUE(drewPencilAt(214001));

    // The figure event starts figures, drawn until the end sequence begins.
    frameAt(461990);
    RenderContext::instance().getInputBindings()->actionFor(35)->trigger();
    frameAt(462000);
    EXPECT_TRUE(drewFigures());
    EXPECT_FALSE(DemoClock::instance().isOver());
    EXPECT_FALSE(main->finale()->cloth().clockStarted());
    frameAt(462001);
    EXPECT_TRUE(drewCreatureLast()) << "the finale takes the figures' place";
    EXPECT_TRUE(main->finale()->cloth().clockStarted());
    EXPECT_TRUE(DemoClock::instance().isOver());
    EXPECT_EQ(DemoClock::instance().elapsed(), 0);

    SceneManager::instance().switchTo(1);
    frameAt(10);
    EXPECT_TRUE(DemoClock::instance().isOver()) << "the latch holds across entries";
}

// A run of its own: after the latch at 462001 ms the cloth would catch up on
// two minutes of simulation in one frame.
TEST_F(MainSceneTest, OnlyABlackClearFromTheBlackoutOn) {
    EXPECT_TRUE(isWhite(frameAt(580686)));
    EXPECT_TRUE(drewCreatureLast());
    RecordingRenderer::Call last = frameAt(580687);
    EXPECT_TRUE(isBlack(last));
    EXPECT_EQ(renderer.calls.size(), 1u) << "only a black clear from 580687 ms on";
}

TEST(MainSceneData, MissingRecordingEndsLoadingNamingTheFile) {
    TempFolder folder;
    WorkingDirectory inFolder(folder.path());
    RecordingRenderer renderer;
    MainScene scene(&renderer);
    testing::internal::CaptureStderr();
    EXPECT_THROW(scene.load(), int);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Couldn't load 'data/audio/vorn.txt'"), std::string::npos);
}

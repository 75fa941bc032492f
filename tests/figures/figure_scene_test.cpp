#include "figures/figure_scene.h"
#include "figures/random.h"
#include "framework/midi/midi_input.h"
#include "framework/clock/timer.h"
#include "tests/figures/draw_count.h"
#include "tests/figures/recording_renderer.h"
#include "tests/figures/stage_clock.h"
#include "tests/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>
#include <string>

namespace {

constexpr uint32_t kClock = 0xF8;
constexpr uint32_t kStart = 0xFA;
constexpr uint32_t kStop = 0xFC;
// Ticks from a start to a step of the figure patterns: the first tick
// reaches step 0, then six ticks a step.
int ticksToStep(int step) { return 1 + step * 6; }

uint32_t noteOn(int note) { return 0x90u | static_cast<uint32_t>(note) << 8 | 100u << 16; }
uint32_t bankSelect(int value) { return 0xB0u | 32u << 8 | static_cast<uint32_t>(value) << 16; }
uint32_t programChange(int program) { return 0xC0u | static_cast<uint32_t>(program) << 8; }

// Stops the clock, selects the pattern and runs it to the step.
void runTo(MidiInput& midi, int pattern, int step) {
    midi.enqueue(kStop);
    midi.enqueue(bankSelect(0));
    midi.enqueue(programChange(pattern));
    midi.enqueue(kStart);
    for (int i = 0; i < ticksToStep(step); ++i) midi.enqueue(kClock);
    midi.update();
}

void playNote(MidiInput& midi, int note) {
    midi.enqueue(noteOn(note));
    midi.update();
}

uint64_t hashOf(const RecordingRenderer& renderer) {
    uint64_t hash = 1469598103934665603ull;
    auto mix = [&hash](float value) {
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        hash = (hash ^ bits) * 1099511628211ull;
    };
    for (const RecordingRenderer::Call& call : renderer.calls) {
        // The blending switch sends only changes, so only the first frame
        // after a change carries one.
        if (call.kind == RecordingRenderer::Blending) continue;
        mix(static_cast<float>(call.kind));
        for (float value : {call.a, call.b, call.c, call.d}) mix(value);
    }
    return hash;
}

std::set<int> activeIds(const FigureScene& scene) {
    std::set<int> ids;
    for (FigureBase* figure : scene.figures()) {
        if (figure->isActive()) ids.insert(figure->id());
    }
    return ids;
}

using FigureSceneTest = StageClockTest;

}  // namespace

TEST_F(FigureSceneTest, NotesFireTheirCodesInBindingOrder) {
    MidiInput midi;
    MidiInput direct;
    seedRandom(1);
    FigureScene scene(midi, false);
    seedRandom(1);
    FigureScene twin(direct, false);

    ASSERT_EQ(scene.figures().size(), 720u);
    for (std::size_t i = 1; i < scene.figures().size(); ++i) {
        ASSERT_GE(scene.figures()[i - 1]->id(), scene.figures()[i]->id()) << "greatest id drawn first";
    }

    // Notes that no row binds take no draw: other notes, other steps, other
    // patterns.
    setSceneTime(15000);
    runTo(midi, 67, 40);
    seedRandom(9);
    for (int note = 0; note < 128; ++note) {
        if (note != 36 && note != 38 && note != 40 && note != 41 && note != 42) playNote(midi, note);
    }
    runTo(midi, 64, 9);
    playNote(midi, 36);
    runTo(midi, 70, 40);
    playNote(midi, 36);
    EXPECT_EQ(drawsSince(9), 0);
    EXPECT_TRUE(activeIds(scene).empty());

    // Note 36 at step 40 of pattern 67: codes 3, 2, 4, 14 and 14, in this
    // order.
    runTo(midi, 67, 40);
    seedRandom(9);
    playNote(midi, 36);
    seedRandom(9);
    for (int code : {3, 2, 4, 14, 14}) twin.branchState().onEvent(code);

    setSceneTime(17000);
    RecordingRenderer drawn;
    RecordingRenderer expected;
    seedRandom(10);
    scene.frame(drawn);
    seedRandom(10);
    twin.frame(expected);
    EXPECT_EQ(activeIds(scene), (std::set<int>{200, 300, 1300})) << "the first run of group 4 is empty";
    ASSERT_FALSE(drawn.calls.empty());
    EXPECT_EQ(hashOf(drawn), hashOf(expected));
    EXPECT_EQ(scene.branchState().ringIndex(), 1);
}

TEST_F(FigureSceneTest, ReplayingARecordingDrawsTheSameFramesEveryTime) {
    // Clock ticks at 125 beats a minute; pattern 65 until 67 takes over at
    // step 128, then 69 from step 192.
    // Note 36 on every step, 41 on every fourth, 40 and 42 now and then.
    std::string text;
    int messages = 0;
    auto add = [&](int time, uint32_t message) {
        char line[64];
        std::snprintf(line, sizeof line, "time=%d\nmididata=0x%X\n", time, message);
        text += line;
        ++messages;
    };
    add(0, bankSelect(0));
    add(0, programChange(65));
    add(0, kStart);
    int step = -1;
    for (int tick = 0; tick < ticksToStep(3 * 64 + 40); ++tick) {
        int time = 20 * tick;
        add(time, kClock);
        if (tick % 6 != 0) continue;
        ++step;
        if (step == 100) add(time, programChange(67));
        if (step == 150) add(time, programChange(69));
        add(time + 1, noteOn(36));
        if (step % 4 == 0) add(time + 2, noteOn(41));
        if (step % 7 == 0) add(time + 3, noteOn(40));
        if (step % 11 == 0) add(time + 3, noteOn(42));
    }
    // A folder of its own: the tests run side by side, and twice.
    TempFolder folder;
    const std::string path = folder / "figure_scene_replay.txt";
    std::ofstream(path, std::ios::binary) << "entries=" << 2 * messages << "\n" << text;

    auto replay = [&path] {
        Timer& timer = Timer::instance();
        timer.setFixedStep(true);
        timer.setRate(4.0f);
        timer.reset();
        MainEnvelopes::instance().restartAll();
        MidiInput midi;
        seedRandom(1);
        FigureScene scene(midi, false);
        seedRandom(666);
        midi.loadRecording(path);
        RecordingRenderer renderer;
        std::size_t mostCalls = 0;
        uint64_t hash = 0;
        while (timer.getTime() < 29000) {
            timer.step();
            midi.update();
            renderer.calls.clear();
            scene.frame(renderer);
            mostCalls = std::max(mostCalls, renderer.calls.size());
            hash = hash * 31 + hashOf(renderer);
        }
        EXPECT_GT(mostCalls, 1000u);
        EXPECT_TRUE(activeIds(scene).contains(10000)) << "note 41 of pattern 65 after 11000 ms";
        EXPECT_TRUE(scene.branchGrowth().pooled(0).isStarted()) << "steps 52 and 56 of pattern 65";
        return hash;
    };
    uint64_t first = replay();
    EXPECT_EQ(replay(), first);
    std::remove(path.c_str());
}

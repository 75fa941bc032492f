#include "figures/figure_scene.h"
#include "figures/random.h"
#include "framework/midi/midi_input.h"
#include "framework/clock/timer.h"
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
// Ticks from a start to a step of the figure patterns: the first tick
// reaches step 0, then six ticks a step.
int ticksToStep(int step) { return 1 + step * 6; }

uint32_t noteOn(int note) { return 0x90u | static_cast<uint32_t>(note) << 8 | 100u << 16; }
uint32_t bankSelect(int value) { return 0xB0u | 32u << 8 | static_cast<uint32_t>(value) << 16; }
uint32_t programChange(int program) { return 0xC0u | static_cast<uint32_t>(program) << 8; }

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

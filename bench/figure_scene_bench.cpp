#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "figures/figure_scene.h"
#include "figures/main_envelopes.h"
#include "figures/random.h"
#include "framework/midi/midi_input.h"
#include "framework/render/renderer.h"
#include "framework/clock/timer.h"
#include "platform/ticks.h"

namespace {

// Draws nothing; counts what it is sent.
class CountingRenderer : public Renderer {
public:
    void begin(int) override {}
    void end() override {}
    void clear(float, float, float) override {}
    void vertex(float, float, float) override { ++vertices; }
    void color(float, float, float, float) override {}
    void texCoord(float, float) override {}
    void setSmooth(bool) override {}
    bool isSmooth() override { return false; }
    void setTexture(Image*) override {}
    float lineWidth() override { return 1.0f; }
    void setLineWidth(float) override {}

    int64_t vertices = 0;
};

uint32_t sceneTicks = 0;
uint32_t fakeTicks() { return sceneTicks; }

void setSceneTime(int ms) {
    sceneTicks = static_cast<uint32_t>(ms);
    Timer::instance().update();
}

// The clock at the main scene's entry, the figure envelopes running.
void enterScene() {
    host::setTickSource(fakeTicks);
    sceneTicks = 0;
    Timer::instance().setFixedStep(false);
    Timer::instance().reset();
    MainEnvelopes::instance().restartAll();
}

void Construction(benchmark::State& state, bool highBudget) {
    enterScene();
    for (auto _ : state) {
        MidiInput midi;
        seedRandom(1);
        FigureScene scene(midi, highBudget);
        benchmark::DoNotOptimize(scene.figures().data());
    }
}

// Every code that a note binding can send.
constexpr int kReachableCodes[] = {1, 2, 3, 4, 5, 6, 10, 14, 15, 16};

void Frame(benchmark::State& state, int eventTime, int eventRounds, int frameTime) {
    enterScene();
    MidiInput midi;
    seedRandom(1);
    FigureScene scene(midi, false);
    setSceneTime(eventTime);
    for (int round = 0; round < eventRounds; ++round) {
        for (int code : kReachableCodes) scene.branchState().onEvent(code);
    }
    setSceneTime(frameTime);
    CountingRenderer renderer;
    for (auto _ : state) scene.frame(renderer);
    state.counters["vertices/frame"] =
        benchmark::Counter(static_cast<double>(renderer.vertices) / static_cast<double>(state.iterations()));
    state.counters["vertices/s"] = benchmark::Counter(static_cast<double>(renderer.vertices), benchmark::Counter::kIsRate);
}

void ConstructNormal(benchmark::State& state) { Construction(state, false); }
void ConstructHighBudget(benchmark::State& state) { Construction(state, true); }
// Nothing triggered: every figure is only asked whether it is active.
void QuietFrame(benchmark::State& state) { Frame(state, 30000, 0, 31000); }
// Every reachable group picked many times over, the field grown.
void BusyFrame(benchmark::State& state) { Frame(state, 30000, 30, 31000); }
// The stage: every root in play bursts, drawn twice.
void StageFrame(benchmark::State& state) { Frame(state, 200000, 30, 206000); }

}  // namespace

BENCHMARK(ConstructNormal)->Unit(benchmark::kMillisecond);
BENCHMARK(ConstructHighBudget)->Unit(benchmark::kMillisecond);
BENCHMARK(QuietFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BusyFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(StageFrame)->Unit(benchmark::kMicrosecond);

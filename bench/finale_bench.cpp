// One frame of the end sequence at 60 frames a second: the cloth's steps for
// 16 ms, the creature, and the drawing (under a display), and the cloth's
// simulation alone.
#include "demo/finale/cloth.h"
#include "demo/shared/demo_clock.h"
#include "demo/finale/finale.h"
#include "framework/render/gl_renderer.h"
#include "framework/clock/timer.h"
#include "platform/ticks.h"
#include "tests/shared_window.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

uint32_t fakeTicks = 0;

// Scene time just past the start of the end sequence, on a clock that
// only the benchmark moves.
void enterEndSequence() {
    host::setTickSource([] { return fakeTicks; });
    fakeTicks = 1000;
    Timer::instance().reset();
    fakeTicks += DemoClock::endSequenceStart + 1;
    Timer::instance().update();
    DemoClock::instance().isOver();
}

void nextFrame() {
    fakeTicks += 16;
    Timer::instance().update();
}

void FinaleFrame(benchmark::State& state) {
    if (!openSharedWindow()) {
        state.SkipWithError("no OpenGL window could be opened");
        return;
    }
    GLRenderer renderer(1024, 768);
    renderer.begin(Renderer::Lines);
    renderer.end();
    Finale finale(&renderer);
    enterEndSequence();
    for (auto _ : state) {
        nextFrame();
        renderer.clear(1, 1, 1);
        finale.frame(renderer);
        glFinish();
    }
}
BENCHMARK(FinaleFrame)->Unit(benchmark::kMicrosecond);

void ClothFrameSimulation(benchmark::State& state) {
    Cloth cloth;
    cloth.setup({-70.0f, -62.5f});
    enterEndSequence();
    for (auto _ : state) {
        nextFrame();
        cloth.simulate();
        benchmark::DoNotOptimize(cloth.particle(31, 0));
    }
}
BENCHMARK(ClothFrameSimulation)->Unit(benchmark::kMicrosecond);

}  // namespace

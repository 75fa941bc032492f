#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "framework/render/frame_bitmap.h"
#include "framework/render/software_renderer.h"

namespace {

struct Triangle {
    float x[3];
    float y[3];
};

// Small triangles scattered over the screen, 10 to 30 pixels across.
std::vector<Triangle> smallTriangles(int count) {
    std::mt19937 random(3);
    std::uniform_real_distribution<float> place(0.0f, 1.0f);
    std::vector<Triangle> triangles(count);
    for (Triangle& t : triangles) {
        float cx = 20 + 600 * place(random);
        float cy = 20 + 440 * place(random);
        float size = 5 + 10 * place(random);
        for (int i = 0; i < 3; ++i) {
            float angle = place(random) * 6.2831853f;
            t.x[i] = cx + size * std::cos(angle);
            t.y[i] = cy + size * std::sin(angle);
        }
    }
    return triangles;
}

void fullScreen(benchmark::State& state, int primitive) {
    FrameBitmap frame(640, 480);
    SoftwareRenderer renderer(frame.pixels(), nullptr, 640, 480);
    renderer.setClipEnabled(false);
    for (auto _ : state) {
        renderer.begin(primitive);
        renderer.color(1, 0, 0, 1);
        renderer.vertex(0, 0, 0);
        renderer.color(0, 1, 0, 1);
        renderer.vertex(0, 480, 0);
        renderer.color(0, 0, 1, 1);
        renderer.vertex(640, 480, 0);
        renderer.vertex(640, 0, 0);
        renderer.end();
        benchmark::DoNotOptimize(frame.pixels()[0]);
    }
    state.SetItemsProcessed(state.iterations() * 640 * 480);
}

void BM_FullScreenFlat(benchmark::State& state) { fullScreen(state, Renderer::Polygon); }
void BM_FullScreenGouraud(benchmark::State& state) { fullScreen(state, Renderer::Polygon8); }

void BM_SmallTriangles(benchmark::State& state) {
    FrameBitmap frame(640, 480);
    SoftwareRenderer renderer(frame.pixels(), nullptr, 640, 480);
    std::vector<Triangle> triangles = smallTriangles(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        for (const Triangle& t : triangles) {
            renderer.begin(Renderer::Polygon);
            for (int i = 0; i < 3; ++i) renderer.vertex(t.x[i], t.y[i], 0);
            renderer.end();
        }
        benchmark::DoNotOptimize(frame.pixels()[0]);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(BM_FullScreenFlat);
BENCHMARK(BM_FullScreenGouraud);
BENCHMARK(BM_SmallTriangles)->Arg(300);

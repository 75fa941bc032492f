#include <benchmark/benchmark.h>

#include <cstdint>

#include "engine/image/bitmap.h"
#include "engine/image/blitter.h"

namespace {

using zentac::Bitmap;
using zentac::PixelFormat;

const PixelFormat kRgb888(24, 0xFF0000, 0xFF00, 0xFF, 0, zentac::kPixelInteger);
const PixelFormat kRgb565(16, 0xF800, 0x07E0, 0x001F, 0, zentac::kPixelInteger);
// The same channels as ARGB, but not one of the formats with hand-written rows.
const PixelFormat kAbgr(32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000, zentac::kPixelInteger);

Bitmap Noise(int size, const PixelFormat& format) {
    Bitmap bitmap(size, size, format);
    uint32_t state = 1;
    for (int i = 0; i < bitmap.Pitch() * size; ++i) {
        state = state * 214013 + 2531011;
        bitmap.Image()[i] = static_cast<uint8_t>(state >> 16);
    }
    return bitmap;
}

void Run(benchmark::State& state, const Bitmap& source, const PixelFormat& format, int width, int height,
         int mode) {
    Bitmap dest(width, height, format);
    for (auto _ : state) {
        zentac::Blit(dest, source, mode);
        benchmark::DoNotOptimize(dest.Image());
    }
    state.SetItemsProcessed(state.iterations() * int64_t{width} * height);
}

void ArgbToRgb888(benchmark::State& state) {
    Run(state, Noise(1024, zentac::ArgbFormat()), kRgb888, 1024, 1024, zentac::kBlitCopy);
}

void ArgbToRgb565(benchmark::State& state) {
    Run(state, Noise(1024, zentac::ArgbFormat()), kRgb565, 1024, 1024, zentac::kBlitCopy);
}

void ArgbToAbgrByShifts(benchmark::State& state) {
    Run(state, Noise(1024, zentac::ArgbFormat()), kAbgr, 1024, 1024, zentac::kBlitCopy);
}

void ResizeNearest(benchmark::State& state) {
    Run(state, Noise(1024, zentac::ArgbFormat()), zentac::ArgbFormat(), 1536, 768, zentac::kBlitNearest);
}

void ResizeBilinearArgb(benchmark::State& state) {
    Run(state, Noise(1024, zentac::ArgbFormat()), zentac::ArgbFormat(), 1536, 768, zentac::kBlitBilinear);
}

void ResizeBilinearRgb565(benchmark::State& state) {
    Run(state, Noise(1024, kRgb565), kRgb565, 1536, 768, zentac::kBlitBilinear);
}

void ResizeBilinearByShifts(benchmark::State& state) {
    Run(state, Noise(1024, kAbgr), kAbgr, 1536, 768, zentac::kBlitBilinear);
}

}  // namespace

BENCHMARK(ArgbToRgb888)->Unit(benchmark::kMillisecond);
BENCHMARK(ArgbToRgb565)->Unit(benchmark::kMillisecond);
BENCHMARK(ArgbToAbgrByShifts)->Unit(benchmark::kMillisecond);
BENCHMARK(ResizeNearest)->Unit(benchmark::kMillisecond);
BENCHMARK(ResizeBilinearArgb)->Unit(benchmark::kMillisecond);
BENCHMARK(ResizeBilinearRgb565)->Unit(benchmark::kMillisecond);
BENCHMARK(ResizeBilinearByShifts)->Unit(benchmark::kMillisecond);

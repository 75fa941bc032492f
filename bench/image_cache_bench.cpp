#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "framework/render/image_cache.h"
#include "tests/png_writer.h"

namespace {

// A paper-like RGBA texture: soft gradients with grain, as the show's are.
std::string WriteTexture(int size) {
    TestPng texture;
    texture.width = size;
    texture.height = size;
    texture.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
    uint32_t grain = 1;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            grain = grain * 214013 + 2531011;
            int noise = static_cast<int>(grain >> 16 & 7);
            for (int value : {200 + x * 40 / size + noise, 190 + y * 40 / size + noise, 180 + noise, 255 - noise}) {
                texture.pixels.push_back(static_cast<uint8_t>(value));
            }
        }
    }
    std::vector<uint8_t> file = writePng(texture);
    std::string fileName = "vorn-bench-" + std::to_string(getpid()) + ".png";
    std::filesystem::path path = std::filesystem::temp_directory_path() / fileName;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    return path.string();
}

// A first request, as a scene's load makes it: open, decode, convert to ARGB, copy.
void BM_LoadPngThroughCache(benchmark::State& state) {
    std::string path = WriteTexture(1024);
    for (auto _ : state) {
        ImageCache cache;
        benchmark::DoNotOptimize(cache.get(path)->getPixels());
    }
    state.SetBytesProcessed(state.iterations() * 1024 * 1024 * 4);
    std::filesystem::remove(path);
}
BENCHMARK(BM_LoadPngThroughCache)->Unit(benchmark::kMillisecond);

}  // namespace

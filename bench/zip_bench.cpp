#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine/files/file_codec_zip.h"
#include "engine/files/file_stream.h"
#include "engine/files/memory_stream.h"
#include "tests/zip_writer.h"

namespace {

constexpr int kMemberSize = 1 << 20;

// A member like an uncompressed paper texture: soft gradients with grain.
std::vector<uint8_t> PaperBytes() {
    std::vector<uint8_t> bytes(kMemberSize);
    uint32_t grain = 1;
    for (int i = 0; i < kMemberSize; ++i) {
        grain = grain * 214013 + 2531011;
        bytes[i] = static_cast<uint8_t>(180 + (i >> 12) % 40 + (grain >> 16 & 7));
    }
    return bytes;
}

// A pack of a few dozen members, the one read lying in the middle.
std::vector<uint8_t> Pack(uint16_t method) {
    TestZip zip;
    for (int i = 0; i < 40; ++i) zip.add("images/scrap" + std::to_string(i) + ".png", "scrap");
    zip.add("images/paper.raw", PaperBytes(), method);
    for (int i = 0; i < 40; ++i) zip.add("images/stroke" + std::to_string(i) + ".png", "stroke");
    return zip.bytes();
}

void OpenFromMemory(benchmark::State& state, uint16_t method) {
    std::vector<uint8_t> pack = Pack(method);
    zentac::MemoryStream archive(pack.data(), static_cast<int32_t>(pack.size()), zentac::MemoryStream::Borrow{});
    for (auto _ : state) {
        archive.AddRef();  // the codec releases the reference it is handed
        std::unique_ptr<zentac::Stream> member(
            zentac::OpenZipEntry(&archive, "images/paper.raw", zentac::kModeRead, ""));
        benchmark::DoNotOptimize(member->Size());
    }
    state.SetBytesProcessed(state.iterations() * kMemberSize);
}

void BM_OpenDeflatedMember(benchmark::State& state) { OpenFromMemory(state, 8); }
void BM_OpenStoredMember(benchmark::State& state) { OpenFromMemory(state, 0); }

// The whole path as a texture load takes it: disk archive, member, reads.
void BM_ReadDeflatedMemberThroughFileStream(benchmark::State& state) {
    std::vector<uint8_t> pack = Pack(8);
    std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("vorn-bench-" + std::to_string(getpid()) + ".zip");
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(pack.data()), static_cast<std::streamsize>(pack.size()));
    std::string name = path.string() + "/images/paper.raw";
    std::vector<uint8_t> buffer(kMemberSize);
    for (auto _ : state) {
        zentac::FileStream stream(name.c_str(), zentac::kModeRead);
        benchmark::DoNotOptimize(stream.Read(buffer.data(), kMemberSize));
    }
    state.SetBytesProcessed(state.iterations() * kMemberSize);
    std::filesystem::remove(path);
}

}  // namespace

BENCHMARK(BM_OpenDeflatedMember)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenStoredMember)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadDeflatedMemberThroughFileStream)->Unit(benchmark::kMillisecond);

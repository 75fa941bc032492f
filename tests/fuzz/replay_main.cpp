// Hands every file of the folders (or files) on the command line to a fuzz
// target's entry point once, so that a test build replays the seed corpus
// and the saved findings under its own sanitizers. A folder that does not
// exist is skipped: a target may have no saved crash inputs.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> inputsOf(const fs::path& place) {
    std::vector<fs::path> inputs;
    if (fs::is_directory(place)) {
        for (const fs::directory_entry& entry : fs::directory_iterator(place)) {
            if (entry.is_regular_file()) inputs.push_back(entry.path());
        }
        std::sort(inputs.begin(), inputs.end());
    } else if (fs::is_regular_file(place)) {
        inputs.push_back(place);
    }
    return inputs;
}

}  // namespace

int main(int argc, char** argv) {
    std::size_t replayed = 0;
    for (int i = 1; i < argc; ++i) {
        for (const fs::path& input : inputsOf(argv[i])) {
            std::ifstream file(input, std::ios::binary);
            const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
            std::printf("%s\n", input.c_str());
            std::fflush(stdout);
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++replayed;
        }
    }
    std::printf("%zu inputs replayed\n", replayed);
    // A target without seeds tests nothing.
    return replayed > 0 ? 0 : 1;
}

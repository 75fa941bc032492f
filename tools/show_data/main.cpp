// vorn-data FOLDER
//
// Writes the show's data into FOLDER (the show's "data" folder): the MIDI
// recording that drives the figures and the pencil scene, the music played
// from that same recording, and the event list that runs the show.

#include <algorithm>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <future>
#include <iostream>
#include <span>
#include <string_view>
#include <vector>

#include "tools/show_data/composition.h"
#include "tools/show_data/dsp.h"
#include "tools/show_data/events_writer.h"
#include "tools/show_data/mp3_writer.h"
#include "tools/show_data/output_file.h"
#include "tools/show_data/pencil_images.h"
#include "tools/show_data/recording_writer.h"
#include "tools/show_data/scrap_images.h"
#include "tools/show_data/scrap_positions.h"
#include "tools/show_data/show_events.h"
#include "tools/show_data/synth.h"
#include "tools/show_data/vertex_files.h"

namespace fs = std::filesystem;
using namespace show_data;

namespace {

constexpr int kMp3Kilobits = 160;

std::span<const uint8_t> bytesOf(std::string_view text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

void writeRecording(const fs::path& folder, const Composition& composition) {
    writeOutputFile(folder / "audio" / "vorn.txt", bytesOf(formatRecording(composition.messages)));
}

// Encodes each block while the synth renders the next.
void writeMusic(const fs::path& folder, const Composition& composition) {
    Synth synth(composition.messages, composition.quarterMs);
    Mp3Writer mp3(kMp3Kilobits);
    std::vector<int16_t> encoding;
    std::future<void> encoded;
    const int64_t frames = static_cast<int64_t>(composition.lengthMs) * kSampleRate / 1000;
    for (int64_t done = 0; done < frames; done += Synth::kBlockFrames) {
        const std::span<const int16_t> block = synth.next();
        const std::size_t used = 2 * static_cast<std::size_t>(std::min<int64_t>(Synth::kBlockFrames, frames - done));
        if (encoded.valid()) encoded.get();
        encoding.assign(block.begin(), block.begin() + used);
        encoded = std::async(std::launch::async, [&mp3, &encoding] { mp3.encode(encoding); });
    }
    if (encoded.valid()) encoded.get();
    writeOutputFile(folder / "audio" / "vorn.mp3", mp3.finish());
}

void writeEvents(const fs::path& folder, const Composition& composition) {
    writeOutputFile(folder / "events.txt", bytesOf(formatEvents(showEvents(composition))));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: vorn-data FOLDER\n";
        return 2;
    }
    try {
        const fs::path folder = argv[1];
        const Composition composition = composeShow();
        writeRecording(folder, composition);
        writeMusic(folder, composition);
        writeEvents(folder, composition);
        writeVertexFiles(folder);
        writeScrapImages(folder);
        writeScrapPositions(folder);
        writePencilImages(folder);
    } catch (const std::exception& error) {
        std::cerr << "vorn-data: " << error.what() << "\n";
        return 1;
    }
    return 0;
}

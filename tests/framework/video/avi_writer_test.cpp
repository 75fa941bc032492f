#include "engine/image/bitmap.h"
#include "engine/image/bitmap_codec_jpeg.h"
#include "framework/video/avi_writer.h"
#include "framework/render/frame_bitmap.h"
#include "framework/video/frame_capture.h"
#include "framework/render/gl_renderer.h"
#include "framework/video/jpeg_frame_encoder.h"
#include "platform/avi_file.h"
#include "tests/shared_window.h"
#include "tests/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

uint64_t numberAt(const Bytes& bytes, std::size_t at, int count) {
    if (at + count > bytes.size()) ADD_FAILURE() << "read past the end at " << at;
    if (at + count > bytes.size()) return 0;
    uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[at + i];
    return value;
}

uint32_t wordAt(const Bytes& bytes, std::size_t at) { return static_cast<uint32_t>(numberAt(bytes, at, 4)); }

std::string codeAt(const Bytes& bytes, std::size_t at) {
    return at + 4 <= bytes.size() ? std::string(bytes.begin() + at, bytes.begin() + at + 4) : "";
}

struct IndexEntry {
    uint64_t at;
    uint32_t size;
    bool operator==(const IndexEntry&) const = default;
};

std::ostream& operator<<(std::ostream& out, const IndexEntry& entry) {
    return out << entry.size << " bytes at " << entry.at;
}

// What a player needs of the file, found by walking its chunks.
struct ParsedAvi {
    std::vector<std::string> riffKinds;
    std::vector<uint32_t> riffSizes;
    uint32_t mainFrames = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t rate = 0;
    uint32_t streamLength = 0;
    uint32_t extendedFrames = 0;
    std::string handler;
    std::string compression;
    std::vector<Bytes> frames;
    std::vector<uint64_t> frameDataAt;
    std::vector<uint32_t> framesPerRiff;
    std::vector<IndexEntry> superIndex;       // its chunk indexes, with their frame counts as size
    std::map<uint64_t, std::vector<IndexEntry>> chunkIndexes;  // by where they start
    std::vector<IndexEntry> oldIndex;         // idx1, made absolute
    std::size_t moviCodeAt = 0;               // of the RIFF being walked
};

void walk(const Bytes& bytes, std::size_t begin, std::size_t end, ParsedAvi& avi) {
    for (std::size_t at = begin; at + 8 <= end;) {
        const std::string code = codeAt(bytes, at);
        const uint32_t size = wordAt(bytes, at + 4);
        ASSERT_LE(at + 8 + size, end) << code << " overruns its list";
        const std::size_t data = at + 8;
        if (code == "LIST") {
            if (codeAt(bytes, data) == "movi") avi.moviCodeAt = data;
            walk(bytes, data + 4, data + size, avi);
        } else if (code == "avih") {
            avi.mainFrames = wordAt(bytes, data + 16);
            avi.width = wordAt(bytes, data + 32);
            avi.height = wordAt(bytes, data + 36);
        } else if (code == "strh") {
            EXPECT_EQ(codeAt(bytes, data), "vids");
            avi.handler = codeAt(bytes, data + 4);
            avi.rate = wordAt(bytes, data + 24) / wordAt(bytes, data + 20);
            avi.streamLength = wordAt(bytes, data + 32);
        } else if (code == "strf") {
            avi.compression = codeAt(bytes, data + 16);
        } else if (code == "indx") {
            EXPECT_EQ(numberAt(bytes, data, 2), 4u);
            EXPECT_EQ(bytes[data + 3], 0) << "an index of indexes";
            const uint32_t used = wordAt(bytes, data + 4);
            ASSERT_LE(24 + 16 * static_cast<uint64_t>(used), size);
            for (uint32_t i = 0; i < used; ++i) {
                const std::size_t entry = data + 24 + 16 * i;
                avi.superIndex.push_back({numberAt(bytes, entry, 8), wordAt(bytes, entry + 12)});
                EXPECT_EQ(wordAt(bytes, entry + 8), 32 + 8 * wordAt(bytes, entry + 12)) << "its size";
            }
        } else if (code == "dmlh") {
            avi.extendedFrames = wordAt(bytes, data);
        } else if (code == "00dc") {
            avi.frames.emplace_back(bytes.begin() + data, bytes.begin() + data + size);
            avi.frameDataAt.push_back(data);
            ++avi.framesPerRiff.back();
        } else if (code == "ix00") {
            EXPECT_EQ(bytes[data + 3], 1) << "an index of chunks";
            EXPECT_EQ(codeAt(bytes, data + 8), "00dc");
            const uint32_t used = wordAt(bytes, data + 4);
            ASSERT_EQ(size, 24 + 8 * static_cast<uint64_t>(used));
            const uint64_t base = numberAt(bytes, data + 12, 8);
            std::vector<IndexEntry>& entries = avi.chunkIndexes[at];
            for (uint32_t i = 0; i < used; ++i) {
                entries.push_back({base + wordAt(bytes, data + 24 + 8 * i), wordAt(bytes, data + 28 + 8 * i)});
            }
        } else if (code == "idx1") {
            for (std::size_t entry = data; entry + 16 <= data + size; entry += 16) {
                EXPECT_EQ(codeAt(bytes, entry), "00dc");
                avi.oldIndex.push_back({avi.moviCodeAt + wordAt(bytes, entry + 8) + 8, wordAt(bytes, entry + 12)});
            }
        }
        at = data + size + (size & 1);
    }
}

ParsedAvi parse(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ParsedAvi avi;
    std::size_t at = 0;
    while (at + 12 <= bytes.size()) {
        EXPECT_EQ(codeAt(bytes, at), "RIFF");
        const uint32_t size = wordAt(bytes, at + 4);
        avi.riffKinds.push_back(codeAt(bytes, at + 8));
        avi.riffSizes.push_back(size);
        avi.framesPerRiff.push_back(0);
        if (at + 8 + size > bytes.size()) ADD_FAILURE() << "a RIFF overruns the file";
        if (at + 8 + size > bytes.size()) break;
        walk(bytes, at + 12, at + 8 + size, avi);
        at += 8 + size;
    }
    EXPECT_EQ(at, bytes.size()) << "the RIFFs fill the file";
    return avi;
}

// Every index of the file names the frames in the order they lie.
void expectIndexesAgree(const ParsedAvi& avi) {
    std::vector<IndexEntry> frames;
    for (std::size_t i = 0; i < avi.frames.size(); ++i) {
        frames.push_back({avi.frameDataAt[i], static_cast<uint32_t>(avi.frames[i].size())});
    }
    std::vector<IndexEntry> fromChunkIndexes;
    ASSERT_EQ(avi.superIndex.size(), avi.chunkIndexes.size());
    ASSERT_EQ(avi.superIndex.size(), avi.riffKinds.size());
    for (std::size_t riff = 0; riff < avi.superIndex.size(); ++riff) {
        auto found = avi.chunkIndexes.find(avi.superIndex[riff].at);
        ASSERT_NE(found, avi.chunkIndexes.end()) << "entry " << riff << " points at no chunk index";
        EXPECT_EQ(found->second.size(), avi.superIndex[riff].size);
        EXPECT_EQ(found->second.size(), avi.framesPerRiff[riff]);
        fromChunkIndexes.insert(fromChunkIndexes.end(), found->second.begin(), found->second.end());
    }
    EXPECT_EQ(fromChunkIndexes, frames);
    const std::vector<IndexEntry> firstRiff(frames.begin(), frames.begin() + avi.framesPerRiff.front());
    EXPECT_EQ(avi.oldIndex, firstRiff);
}

// Files of this process can't grow past the limit while it lives: writes
// beyond it fail instead of raising SIGXFSZ.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit saved_ = {};
    void (*previousHandler_)(int) = nullptr;
};

constexpr int clipWidth = 48;
constexpr int clipHeight = 32;
constexpr int clipFrames = 40;

// A clip of real JPEG pictures, noise that changes from frame to frame, in
// RIFFs of 6000 bytes: several "AVIX" extensions follow the first RIFF.
std::vector<Bytes> writeClip(const std::string& path) {
    JpegFrameEncoder encoder(clipWidth, clipHeight, 0.9f);
    host::AviFile file(clipWidth, clipHeight, 30, 6000);
    EXPECT_TRUE(file.open(path.c_str()));
    std::vector<Bytes> written;
    std::vector<uint32_t> pixels(clipWidth * clipHeight);
    for (int frame = 0; frame < clipFrames; ++frame) {
        for (int i = 0; i < clipWidth * clipHeight; ++i) {
            pixels[i] = static_cast<uint32_t>(i * 2654435761u >> (frame % 24));
        }
        EXPECT_TRUE(encoder.encode(pixels.data()));
        written.emplace_back(encoder.data(), encoder.data() + encoder.size());
        EXPECT_TRUE(file.writeFrame(encoder.data(), encoder.size()));
    }
    EXPECT_EQ(file.framesWritten(), clipFrames);
    EXPECT_TRUE(file.close());
    return written;
}

std::string commandOutput(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
    pclose(pipe);
    return output;
}

}  // namespace

TEST(AviFile, WritesMotionJpegInExtensionRiffsWithEveryIndex) {
    TempFolder folder;
    const std::string path = folder / "clip.avi";
    const std::vector<Bytes> written = writeClip(path);
    const ParsedAvi avi = parse(path);
    ASSERT_GE(avi.riffKinds.size(), 3u);
    EXPECT_EQ(avi.riffKinds[0], "AVI ");
    for (std::size_t i = 1; i < avi.riffKinds.size(); ++i) EXPECT_EQ(avi.riffKinds[i], "AVIX");
    for (uint32_t size : avi.riffSizes) EXPECT_LE(size + 8, 6000u);
    EXPECT_TRUE(std::any_of(written.begin(), written.end(), [](const Bytes& frame) { return frame.size() % 2; }))
        << "an odd-sized picture is padded";
    EXPECT_EQ(avi.frames, written);
    EXPECT_EQ(avi.handler, "MJPG");
    EXPECT_EQ(avi.compression, "MJPG");
    EXPECT_EQ(avi.width, 48u);
    EXPECT_EQ(avi.height, 32u);
    EXPECT_EQ(avi.rate, 30u);
    EXPECT_EQ(avi.streamLength, 40u);
    EXPECT_EQ(avi.extendedFrames, 40u);
    EXPECT_EQ(avi.mainFrames, avi.framesPerRiff.front()) << "old readers see the first RIFF";
    expectIndexesAgree(avi);
}

TEST(AviFile, FfprobeReadsEveryFrameAcrossRiffs) {
    if (std::system("command -v ffprobe >/dev/null 2>&1") != 0) GTEST_SKIP() << "no ffprobe";
    TempFolder folder;
    const std::string path = folder / "clip.avi";
    writeClip(path);
    const std::string report =
        commandOutput("ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                      "stream=codec_name,width,height,r_frame_rate,nb_frames,nb_read_frames -of default=nw=1 '" +
                      path + "' 2>&1");
    EXPECT_EQ(report,
              "codec_name=mjpeg\nwidth=48\nheight=32\nr_frame_rate=30/1\nnb_frames=40\nnb_read_frames=40\n");
}

TEST(AviFile, ReportsFailedWritesAndRefusesFramesItHasNoRoomFor) {
    host::AviFile unopened(4, 4, 30);
    EXPECT_FALSE(unopened.open("/nonexistent-folder/clip.avi"));
    const Bytes frame(1601, 7);

    TempFolder folder;
    {
        FileSizeLimit limit(2000);
        host::AviFile large(64, 64, 30);
        ASSERT_TRUE(large.open((folder / "large.avi").c_str()));
        const Bytes big(4000, 0);
        EXPECT_FALSE(large.writeFrame(big.data(), big.size()));
        EXPECT_FALSE(large.writeFrame(frame.data(), frame.size())) << "a failed file takes nothing more";
        EXPECT_FALSE(large.close());
    }

    // Each RIFF holds one frame: the super index fills up.
    const std::string path = folder / "full.avi";
    {
        host::AviFile full(2, 2, 30, 3250);
        ASSERT_TRUE(full.open(path.c_str()));
        const Bytes tooLarge(3200, 1);
        EXPECT_FALSE(full.writeFrame(tooLarge.data(), tooLarge.size()));
        for (uint32_t i = 0; i < host::AviFile::riffSlots; ++i) {
            ASSERT_TRUE(full.writeFrame(frame.data(), frame.size()));
        }
        EXPECT_FALSE(full.writeFrame(frame.data(), frame.size()));
        EXPECT_TRUE(full.close()) << "what was written stays a whole file";
    }
    const ParsedAvi avi = parse(path);
    EXPECT_EQ(avi.riffKinds.size(), host::AviFile::riffSlots);
    EXPECT_EQ(avi.frames, std::vector<Bytes>(host::AviFile::riffSlots, frame));
    EXPECT_EQ(avi.streamLength, host::AviFile::riffSlots);
    expectIndexesAgree(avi);
}

TEST(AviWriter, WritesJpegPicturesOfTheFramesAndThrowsOnFailure) {
    TempFolder folder;
    const std::string path = folder / "render.avi";
    {
        AviWriter writer(path, 16, 16, 30);
        // Quarters, top row first: blue, green; red, white. The fourth byte is dropped.
        std::vector<uint32_t> pixels(16 * 16);
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const uint32_t quarters[4] = {0xAA0000FF, 0xAA00FF00, 0xAAFF0000, 0xAAFFFFFF};
                pixels[y * 16 + x] = quarters[(y / 8) * 2 + x / 8];
            }
        }
        writer.writeFrame(pixels.data());
        EXPECT_EQ(writer.framesWritten(), 1);
    }
    const ParsedAvi avi = parse(path);
    ASSERT_EQ(avi.frames.size(), 1u);
    zentac::Bitmap picture;
    ASSERT_TRUE(zentac::ReadJpegImage({}, avi.frames[0].data(), avi.frames[0].size(), picture));
    ASSERT_EQ(picture.Width(), 16);
    ASSERT_EQ(picture.Height(), 16);
    // Decoded as blue, green, red bytes; the middle of each quarter.
    const uint32_t expected[4] = {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF};
    for (int quarter = 0; quarter < 4; ++quarter) {
        const int x = 4 + 8 * (quarter % 2);
        const int y = 4 + 8 * (quarter / 2);
        const uint8_t* pixel = picture.Image() + y * picture.Pitch() + x * 3;
        for (int channel = 0; channel < 3; ++channel) {
            EXPECT_NEAR(pixel[channel], expected[quarter] >> (8 * channel) & 0xFF, 12)
                << "quarter " << quarter << " channel " << channel;
        }
    }

    EXPECT_THROW(AviWriter("/nonexistent-folder/render.avi", 2, 2, 30), int);
    FileSizeLimit limit(2000);
    AviWriter large(folder / "large.avi", 64, 64, 30);
    std::vector<uint32_t> noise(64 * 64);
    for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<uint32_t>(i * 2654435761u);
    EXPECT_THROW(large.writeFrame(noise.data()), int);
}

TEST(AviWriter, ProgressShowsCountBarAndTime) {
    auto noTotal = renderProgressLines("Vaduz.avi", 10, -1, 12, 59000);
    ASSERT_EQ(noTotal.size(), 11u) << "neither count nor bar without a total";
    EXPECT_EQ(noTotal[0], "Rendering 'Vaduz.avi'...           ");
    EXPECT_EQ(noTotal[2], "Average frame time: 12 ms        ");
    EXPECT_EQ(noTotal[3], "Total render time: 0 min, 59 sec       ");

    auto nearlyDone = renderProgressLines("Vaduz.avi", 199, 200, 5, 125000);
    ASSERT_EQ(nearlyDone.size(), 15u);
    EXPECT_EQ(nearlyDone[2], "199 of 200 frames done");
    EXPECT_EQ(nearlyDone[4], "Total render time: 2 min, 5 sec       ");
    EXPECT_EQ(nearlyDone[7], "[" + std::string(30, '$') + "]");

    auto overrun = renderProgressLines("Vaduz.avi", 300, 200, 5, 0);
    EXPECT_EQ(overrun[7], "[" + std::string(30, '$') + "]") << "more frames than the total keep the bar full";
    auto third = renderProgressLines("Vaduz.avi", 100, 300, 5, 0);
    EXPECT_EQ(third[7], "[" + std::string(10, '$') + std::string(20, '.') + "]");
}

TEST(FrameCapture, ScalesABottomUpFrameTopRowFirstByAveraging) {
    // 4 x 2, bottom row first: bottom row two greys, top row black and white.
    const uint32_t source[8] = {0x101010, 0x101010, 0x303030, 0x303030,
                                0x000000, 0x000000, 0xFFFFFF, 0xFFFFFF};
    FrameBitmap target(2, 1);
    scaleBottomUpFrame(source, 4, 2, target);
    EXPECT_EQ(target.pixels()[0], 0x080808u);
    EXPECT_EQ(target.pixels()[1], 0x989898u);

    FrameBitmap flipped(1, 2);
    scaleBottomUpFrame(source, 4, 2, flipped);
    EXPECT_EQ(flipped.pixels()[0], 0x808080u) << "top row comes from the last rows read";
    EXPECT_EQ(flipped.pixels()[1], 0x202020u);
}

TEST(FrameCapture, ReadsTheDrawnGlFrameInto640x480) {
    if (!openSharedWindow()) GTEST_SKIP() << "no OpenGL window could be opened";
    GLRenderer renderer(1024, 768);
    renderer.clear(0, 0, 1);
    renderer.color(1, 0, 0, 1);
    renderer.begin(Renderer::Polygon);
    renderer.vertex(0, 0, 0);
    renderer.vertex(512, 0, 0);
    renderer.vertex(512, 384, 0);
    renderer.vertex(0, 384, 0);
    renderer.end();
    glFinish();
    FrameBitmap frame(640, 480);
    captureGlFrame(1024, 768, frame);
    EXPECT_EQ(frame.pixels()[100 * 640 + 100], 0xFF0000u) << "top left quarter is red";
    EXPECT_EQ(frame.pixels()[400 * 640 + 500], 0x0000FFu) << "the rest is blue";
}

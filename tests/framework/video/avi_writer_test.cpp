#include "framework/video/avi_writer.h"
#include "framework/render/frame_bitmap.h"
#include "framework/video/frame_capture.h"
#include "framework/render/gl_renderer.h"
#include "platform/avi_file.h"
#include "tests/shared_window.h"
#include "tests/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t wordAt(const Bytes& bytes, std::size_t at) {
    if (at + 4 > bytes.size()) ADD_FAILURE() << "read past the end at " << at;
    if (at + 4 > bytes.size()) return 0;
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

std::string codeAt(const Bytes& bytes, std::size_t at) {
    return at + 4 <= bytes.size() ? std::string(bytes.begin() + at, bytes.begin() + at + 4) : "";
}

// What a player needs of the file, found by walking its chunks.
struct ParsedAvi {
    uint32_t riffSize = 0;
    uint32_t totalFrames = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t rate = 0;
    uint32_t streamLength = 0;
    uint32_t bitCount = 0;
    std::vector<Bytes> frames;
    std::vector<uint32_t> indexOffsets;
    std::vector<std::size_t> frameCodeOffsets;  // from "movi"
};

void walk(const Bytes& bytes, std::size_t begin, std::size_t end, ParsedAvi& avi, std::size_t moviAt) {
    for (std::size_t at = begin; at + 8 <= end;) {
        const std::string code = codeAt(bytes, at);
        const uint32_t size = wordAt(bytes, at + 4);
        ASSERT_LE(at + 8 + size, end) << code << " overruns its list";
        const std::size_t data = at + 8;
        if (code == "LIST") {
            const std::string kind = codeAt(bytes, data);
            walk(bytes, data + 4, data + size, avi, kind == "movi" ? data : moviAt);
        } else if (code == "avih") {
            avi.totalFrames = wordAt(bytes, data + 16);
            avi.width = wordAt(bytes, data + 32);
            avi.height = wordAt(bytes, data + 36);
        } else if (code == "strh") {
            EXPECT_EQ(codeAt(bytes, data), "vids");
            avi.rate = wordAt(bytes, data + 24) / wordAt(bytes, data + 20);
            avi.streamLength = wordAt(bytes, data + 32);
        } else if (code == "strf") {
            avi.bitCount = wordAt(bytes, data + 12) >> 16;
        } else if (code == "00db") {
            avi.frames.emplace_back(bytes.begin() + data, bytes.begin() + data + size);
            avi.frameCodeOffsets.push_back(at - moviAt);
        } else if (code == "idx1") {
            for (std::size_t entry = data; entry + 16 <= data + size; entry += 16) {
                avi.indexOffsets.push_back(wordAt(bytes, entry + 8));
            }
        }
        at = data + size + (size & 1);
    }
}

ParsedAvi parse(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ParsedAvi avi;
    EXPECT_EQ(codeAt(bytes, 0), "RIFF");
    EXPECT_EQ(codeAt(bytes, 8), "AVI ");
    avi.riffSize = wordAt(bytes, 4);
    EXPECT_EQ(avi.riffSize + 8, bytes.size());
    walk(bytes, 12, bytes.size(), avi, 0);
    return avi;
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

}  // namespace

TEST(AviFile, WritesAReadableRiffWithFramesAndIndex) {
    TempFolder folder;
    const std::string path = folder / "clip.avi";
    {
        host::AviFile file(5, 3, 30);
        ASSERT_TRUE(file.open(path.c_str()));
        EXPECT_EQ(file.rowBytes(), 16) << "rows are padded to four bytes";
        for (uint8_t value = 1; value <= 3; ++value) {
            const Bytes frame(file.frameBytes(), value);
            ASSERT_TRUE(file.writeFrame(frame.data()));
        }
        EXPECT_TRUE(file.close());
    }
    ParsedAvi avi = parse(path);
    EXPECT_EQ(avi.totalFrames, 3u);
    EXPECT_EQ(avi.streamLength, 3u);
    EXPECT_EQ(avi.width, 5u);
    EXPECT_EQ(avi.height, 3u);
    EXPECT_EQ(avi.rate, 30u);
    EXPECT_EQ(avi.bitCount, 24u);
    ASSERT_EQ(avi.frames.size(), 3u);
    EXPECT_EQ(avi.frames[2], Bytes(48, 3));
    ASSERT_EQ(avi.indexOffsets.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(avi.indexOffsets[i], avi.frameCodeOffsets[i]);
}

TEST(AviFile, ReportsFailedWritesAndStopsAtItsSizeLimit) {
    host::AviFile unopened(4, 4, 30);
    EXPECT_FALSE(unopened.open("/nonexistent-folder/clip.avi"));

    TempFolder folder;
    {
        FileSizeLimit limit(1000);
        host::AviFile large(64, 64, 30);
        ASSERT_TRUE(large.open((folder / "large.avi").c_str()));
        const Bytes frame(large.frameBytes(), 0);
        EXPECT_FALSE(large.writeFrame(frame.data()));
        EXPECT_FALSE(large.writeFrame(frame.data())) << "a failed file takes nothing more";
        EXPECT_FALSE(large.close());
    }

    const std::string path = folder / "limited.avi";
    {
        // Room for the headers, two frames of 12 bytes and their index.
        host::AviFile limited(2, 2, 30, 224 + 2 * 24 + 8 + 2 * 16);
        ASSERT_TRUE(limited.open(path.c_str()));
        const Bytes small(limited.frameBytes(), 7);
        EXPECT_TRUE(limited.writeFrame(small.data()));
        EXPECT_TRUE(limited.writeFrame(small.data()));
        EXPECT_FALSE(limited.writeFrame(small.data()));
        EXPECT_TRUE(limited.close()) << "what was written stays a whole file";
    }
    ParsedAvi avi = parse(path);
    EXPECT_EQ(avi.totalFrames, 2u);
    EXPECT_EQ(avi.frames.size(), 2u);
}

TEST(AviWriter, WritesFramesBottomUpAsBlueGreenRedAndThrowsOnFailure) {
    TempFolder folder;
    const std::string path = folder / "render.avi";
    {
        AviWriter writer(path, 2, 2, 30);
        // Top row: blue, green; bottom row: red, white. The fourth byte is dropped.
        const uint32_t pixels[4] = {0xAA0000FF, 0xAA00FF00, 0xAAFF0000, 0xAAFFFFFF};
        writer.writeFrame(pixels);
        EXPECT_EQ(writer.framesWritten(), 1);
    }
    ParsedAvi avi = parse(path);
    ASSERT_EQ(avi.frames.size(), 1u);
    const Bytes expected = {0, 0, 255, 255, 255, 255, 0, 0,  // bottom row first, padded to 8
                            255, 0, 0, 0, 255, 0, 0, 0};
    EXPECT_EQ(avi.frames[0], expected);

    EXPECT_THROW(AviWriter("/nonexistent-folder/render.avi", 2, 2, 30), int);
    FileSizeLimit limit(1000);
    AviWriter large(folder / "large.avi", 64, 64, 30);
    const std::vector<uint32_t> frame(64 * 64, 0);
    EXPECT_THROW(large.writeFrame(frame.data()), int);
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

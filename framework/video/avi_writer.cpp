#include "framework/video/avi_writer.h"

#include "framework/video/log.h"
#include "framework/window/platform_backend.h"
#include "platform/message_box.h"

#include <cstdio>

namespace {

constexpr uint32_t progressInterval = 500;  // ms
constexpr int barLength = 30;

std::string formatted(const char* format, int first, int second = 0) {
    char text[128];
    std::snprintf(text, sizeof text, format, first, second);
    return text;
}

}  // namespace

AviWriter::AviWriter(const std::string& fileName, int width, int height, int rate)
    : fileName_(fileName), width_(width), height_(height), file_(width, height, rate) {
    rows_.resize(file_.frameBytes());
    if (!file_.open(fileName.c_str())) fail("Couldn't create avi-file!");
}

void AviWriter::writeFrame(const uint32_t* pixels) {
    // The file wants rows bottom row first, three bytes per pixel.
    for (int row = 0; row < height_; ++row) {
        const uint32_t* in = pixels + static_cast<std::size_t>(height_ - 1 - row) * width_;
        uint8_t* out = rows_.data() + static_cast<std::size_t>(row) * file_.rowBytes();
        for (int x = 0; x < width_; ++x) {
            out[3 * x] = static_cast<uint8_t>(in[x]);
            out[3 * x + 1] = static_cast<uint8_t>(in[x] >> 8);
            out[3 * x + 2] = static_cast<uint8_t>(in[x] >> 16);
        }
    }
    const uint32_t before = Platform::getTickCount();
    if (framesWritten_ == 0) renderStart_ = before;
    if (!file_.writeFrame(rows_.data())) fail("Couldn't write to video stream");
    ++framesWritten_;
    const uint32_t after = Platform::getTickCount();
    writeTimeSum_ += after - before;
    averageWriteTime_ = static_cast<int>(writeTimeSum_ / static_cast<uint32_t>(framesWritten_));
    elapsedRenderTime_ = static_cast<int>(after - renderStart_);
    printProgress();
}

void AviWriter::fail(const char* text) {
    host::messageBox(text, "Error!", host::Buttons::Ok, host::Icon::Error);
    file_.close();
    throw 0;
}

void AviWriter::printProgress() {
    const uint32_t now = Platform::getTickCount();
    if (now - lastDisplay_ <= progressInterval && framesWritten_ != totalFrames_) return;
    Log& log = Log::instance();
    log.setCursor(0, 0);
    for (const std::string& line :
         renderProgressLines(fileName_, framesWritten_, totalFrames_, averageWriteTime_, elapsedRenderTime_)) {
        log.printLine(2, "%s", line.c_str());
    }
    lastDisplay_ = now;
}

std::vector<std::string> renderProgressLines(const std::string& fileName, int framesWritten, int totalFrames,
                                             int averageWriteTime, int elapsedRenderTime) {
    std::vector<std::string> lines;
    lines.push_back("Rendering '" + fileName.substr(0, 1024) + "'...           ");
    lines.push_back(std::string(28, ' '));
    if (totalFrames > 0) lines.push_back(formatted("%d of %d frames done", framesWritten, totalFrames));
    lines.push_back(formatted("Average frame time: %d ms        ", averageWriteTime));
    int seconds = elapsedRenderTime / 1000;
    int minutes = 0;
    if (seconds > 59) {
        minutes = seconds / 60;
        seconds %= 60;
    }
    lines.push_back(formatted("Total render time: %d min, %d sec       ", minutes, seconds));
    if (totalFrames > 0) {
        float fraction = static_cast<float>(framesWritten) / static_cast<float>(totalFrames);
        if (fraction > 0.99f) fraction = 1.0f;
        const int filled = static_cast<int>(barLength * fraction);
        lines.insert(lines.end(), 2, "");
        std::string bar = "[";
        bar.append(static_cast<std::size_t>(filled), '$');
        bar.append(static_cast<std::size_t>(barLength - filled), '.');
        bar += ']';
        lines.push_back(bar);
    }
    lines.insert(lines.end(), 6, "");
    lines.push_back("CTRL + C to exit gracefully.");
    return lines;
}

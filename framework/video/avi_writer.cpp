#include "framework/video/avi_writer.h"

#include "framework/video/log.h"
#include "framework/window/platform_backend.h"
#include "platform/message_box.h"

#include <cstdio>

namespace {

constexpr uint32_t progressInterval = 500;  // ms
constexpr int barLength = 30;
// Hardly visible losses; the whole show then takes about 2.5 GB, some 60 KB
// a frame.
constexpr float jpegQuality = 0.9f;

std::string formatted(const char* format, int first, int second = 0) {
    char text[128];
    std::snprintf(text, sizeof text, format, first, second);
    return text;
}

}  // namespace

AviWriter::AviWriter(const std::string& fileName, int width, int height, int rate)
    : fileName_(fileName), file_(width, height, rate), encoder_(width, height, jpegQuality) {
    if (!file_.open(fileName.c_str())) fail("Couldn't create avi-file!");
}

void AviWriter::writeFrame(const uint32_t* pixels) {
    const uint32_t before = Platform::getTickCount();
    if (framesWritten_ == 0) renderStart_ = before;
    if (!encoder_.encode(pixels) || !file_.writeFrame(encoder_.data(), encoder_.size())) {
        fail("Couldn't write to video stream");
    }
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

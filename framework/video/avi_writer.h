#pragma once

#include "framework/video/jpeg_frame_encoder.h"
#include "platform/avi_file.h"

#include <cstdint>
#include <string>
#include <vector>

// Writes the offline render's frames as Motion-JPEG into an AVI file and
// shows the progress in the log. A failure (the disk full, the file at its
// size limit) shows a box with the reason and throws the integer 0. A full
// file is closed whole with the frames it took; after a failed write it
// lacks its indexes.
class AviWriter {
public:
    AviWriter(const std::string& fileName, int width, int height, int rate);

    // width x height words, top row first, bytes blue, green, red, unused.
    void writeFrame(const uint32_t* pixels);
    void setTotalFrames(int total) { totalFrames_ = total; }
    int framesWritten() const { return framesWritten_; }

private:
    [[noreturn]] void fail(const char* text);
    void printProgress();

    std::string fileName_;
    host::AviFile file_;
    JpegFrameEncoder encoder_;
    int framesWritten_ = 0;
    int totalFrames_ = -1;
    uint32_t renderStart_ = 0;
    uint32_t writeTimeSum_ = 0;
    int averageWriteTime_ = 0;
    int elapsedRenderTime_ = 0;
    uint32_t lastDisplay_ = 0;
};

// The lines of the progress display, each without its line feed.
std::vector<std::string> renderProgressLines(const std::string& fileName, int framesWritten, int totalFrames,
                                             int averageWriteTime, int elapsedRenderTime);

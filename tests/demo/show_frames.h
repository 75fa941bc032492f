#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One frame of the main scene as the window showed it.
struct ShownFrame {
    int atMs = 0;     // asked for
    int sceneMs = 0;  // the frame taken: the first at or after atMs
    std::vector<uint8_t> rgb;  // 1024x768, bottom row first
};

enum class ShowRenderer { Batching, Reference };

// The show as the program plays it, on a real window and OpenGL context
// (normal budget, the show's data under VORN_SHOW_FOLDER, the recorded events
// and MIDI), one pass of the main loop per step of the Timer's fixed 71 a
// second with the tick count following it, drawn by GLRenderers or by
// ReferenceGLRenderers throughout. Every pass runs all its logic and draws
// into the render-to-texture layers; the window is drawn only in the frames
// taken, which clear it first. Needs a process of its own, like replayShow.
std::vector<ShownFrame> playShow(ShowRenderer renderer, const std::vector<int>& times);

std::string toBytes(const std::vector<ShownFrame>& frames);
std::vector<ShownFrame> framesFromBytes(const std::string& bytes);

#pragma once

#include <cstdint>

class FrameBitmap;

// Scales a frame of sourceWidth x sourceHeight words (bytes blue, green, red,
// unused), bottom row first as OpenGL reads it, into the target top row first;
// each target pixel is the average of the source pixels it covers.
void scaleBottomUpFrame(const uint32_t* source, int sourceWidth, int sourceHeight, FrameBitmap& target);

// Reads back the current OpenGL colour buffer of width x height pixels (call
// it before the buffers are swapped) and scales it into the target.
void captureGlFrame(int width, int height, FrameBitmap& target);

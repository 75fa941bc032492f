#pragma once

#include <cstdint>

// What the program asked of OpenGL over some frames.
struct GlCallCounts {
    // glBegin/glEnd pairs and array draws (one per call).
    uint64_t drawCalls = 0;
    // glVertex* calls and the vertices of array draws.
    uint64_t vertices = 0;
    // Calls of the state entry points: capabilities, line width and stipple,
    // texture and framebuffer binds, blending, hints, matrices, viewport and
    // attribute stack.
    uint64_t stateCalls = 0;
    // Those of them that set something other than what it already was (the
    // first call after the start and after each glPopAttrib counts as one).
    uint64_t stateChanges = 0;
};

// Counts the program's OpenGL calls on their way to libGL. The OpenGL 1.1
// entry points are taken by definitions in the profiler itself (a definition
// in the executable wins over libGL's when the program is linked), which hand
// each call on to libGL's through dlsym(RTLD_NEXT); later entry points go
// through GLEW's function pointers, which hookGlewEntryPoints points at
// counting ones. An entry point the show starts to use must be added here.
namespace gl_call_counter {

// Once GLEW is initialised.
void hookGlewEntryPoints();

// The counts since the last take; counting starts again from zero.
GlCallCounts take();

// While on, drawing into the window (framebuffer 0) is dropped: draws and
// clears never reach libGL. State calls and drawing into render-to-texture
// layers still do. They are counted either way.
void setWindowDrawingSkipped(bool skipped);

// Whether drawing now goes into the window (framebuffer 0), not a layer.
bool drawingIntoWindow();

}  // namespace gl_call_counter

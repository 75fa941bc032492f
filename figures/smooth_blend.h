#pragma once

class Renderer;

// Line smoothing and alpha blending for all blended 2D drawing, switched only
// when the wanted state differs from the last one set. Anything that changes
// the blend or smoothing state behind this switch makes its record stale, so
// all such drawing goes through it.
void setSmoothBlend(Renderer& renderer, bool enable, bool saturate);

// The switch as the program starts: off, without saturation.
void resetSmoothBlend();

#pragma once

// Line smoothing and alpha blending for all blended 2D drawing, switched only
// when the wanted state differs from the last one set. Anything that changes
// the blend or smoothing state behind this switch makes its record stale, so
// all such drawing goes through it. Needs the OpenGL context current.
void setSmoothBlend(bool enable, bool saturate);

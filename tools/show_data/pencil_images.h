#pragma once

#include <filesystem>

#include "tools/show_data/png_image.h"

namespace show_data {

// The paper grain laid over the pencil scene: alpha is how much the paper
// darkens the picture (grain, fibres, a darker rim), colour a warm white.
PngImage paperImage();
// Where the first pencil layer hatches: the red byte is dark (below 30)
// where strokes may start and light elsewhere; 640x480.
PngImage hatchingMap();
// A soft vignette, dark at the rim; 640x480.
PngImage vignetteMap();
// One graphite stroke along the diagonal, gritty in its alpha.
PngImage strokeImage();

// Writes them as "bg.png", "pencilbackground/tolerancemap8.png",
// "pencilbackground/tolerancemap2.png" and
// "pencilbackground/teststroke5.png" under `folder`.
void writePencilImages(const std::filesystem::path& folder);

}  // namespace show_data

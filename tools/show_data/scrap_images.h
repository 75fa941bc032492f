#pragma once

#include <cstdint>
#include <filesystem>

#include "tools/show_data/png_image.h"

namespace show_data {

// What is drawn on a scrap in pencil.
enum class ScrapMarks { Hatching, CrossHatching, Ruled, Grid, Scribble, Rings };

// A piece of torn paper on a transparent square `size` pixels wide: white
// paper with a little grain, a fibrous lighter rim along the tear, and
// graphite marks. A shard is a sharp three- or four-cornered splinter;
// otherwise the piece is a rounder scrap. Deterministic for a seed.
PngImage scrapImage(int size, bool shard, ScrapMarks marks, uint32_t seed);

// Writes the standard piece "skrotbitar/standard/texture4.png" and the pile's
// scraps "skrotbitar/new/1.png" to "15.png" and shards
// "skrotbitar/new/supernew/18.png" to "24.png" under `folder`.
void writeScrapImages(const std::filesystem::path& folder);

}  // namespace show_data

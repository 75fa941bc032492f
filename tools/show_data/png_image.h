#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace show_data {

// A picture for the show, 8-bit RGBA, rows top to bottom.
struct PngImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;

    PngImage(int w, int h) : width(w), height(h), rgba(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4) {}
    uint8_t* pixel(int x, int y) { return &rgba[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x) * 4]; }
};

// The image as PNG bytes (libpng, default compression).
std::vector<uint8_t> encodePng(const PngImage& image);

// Encodes and writes the image whole (see writeOutputFile).
void writePng(const std::filesystem::path& path, const PngImage& image);

}  // namespace show_data

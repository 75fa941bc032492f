#pragma once

#include "framework/render/gl_batch.h"
#include "tests/png_writer.h"

#include <GL/glew.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

// The 1024x768 window of the GL tests (see shared_window.h).
constexpr int kWindowWidth = 1024;
constexpr int kWindowHeight = 768;

// The window's pixels as RGB, bottom row first, as OpenGL reads them.
inline std::vector<uint8_t> windowPixels() {
    GLBatch::flushCurrent();
    glFinish();
    std::vector<uint8_t> rgb(static_cast<std::size_t>(kWindowWidth) * kWindowHeight * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kWindowWidth, kWindowHeight, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
}

// For looking at: window pixels as a PNG file under /tmp, top row first.
inline void saveWindowPng(const std::vector<uint8_t>& rgb, const std::string& name) {
    TestPng png;
    png.width = kWindowWidth;
    png.height = kWindowHeight;
    const std::size_t row = static_cast<std::size_t>(kWindowWidth) * 3;
    for (int y = kWindowHeight - 1; y >= 0; --y) {
        auto first = rgb.begin() + static_cast<std::ptrdiff_t>(row * static_cast<std::size_t>(y));
        png.pixels.insert(png.pixels.end(), first, first + static_cast<std::ptrdiff_t>(row));
    }
    std::vector<uint8_t> file = writePng(png);
    std::ofstream("/tmp/" + name, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
}

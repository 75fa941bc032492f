#pragma once

#include <png.h>

#include <cstdint>
#include <optional>
#include <vector>

// A PNG file to be written by libpng's own encoder, for tests that need
// exact control over colour type, depth, transparency and interlacing.
struct TestPng {
    int width = 1;
    int height = 1;
    int colorType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    bool interlaced = false;
    // Rows as the file stores them: packed below 8 bits, 16-bit samples
    // high byte first, red before green before blue.
    std::vector<uint8_t> pixels;
    std::vector<png_color> palette;
    std::vector<uint8_t> paletteAlpha;              // tRNS of a palette image
    std::optional<png_color_16> transparentColour;  // tRNS of a grey or RGB image
    // gAMA when set. 0.5 cancels the decoder's screen gamma of 2.0.
    std::optional<double> gamma;
};

// The file's bytes. A spec libpng rejects aborts the test program.
inline std::vector<uint8_t> writePng(const TestPng& spec) {
    std::vector<uint8_t> file;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(
        png, &file,
        [](png_structp writer, png_bytep data, png_size_t length) {
            auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(writer));
            out->insert(out->end(), data, data + length);
        },
        nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(spec.width), static_cast<png_uint_32>(spec.height),
                 spec.bitDepth, spec.colorType, spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!spec.palette.empty()) {
        png_set_PLTE(png, info, spec.palette.data(), static_cast<int>(spec.palette.size()));
    }
    if (!spec.paletteAlpha.empty()) {
        png_set_tRNS(png, info, spec.paletteAlpha.data(), static_cast<int>(spec.paletteAlpha.size()), nullptr);
    }
    if (spec.transparentColour) {
        png_color_16 colour = *spec.transparentColour;
        png_set_tRNS(png, info, nullptr, 0, &colour);
    }
    if (spec.gamma) png_set_gAMA(png, info, *spec.gamma);
    png_write_info(png, info);
    size_t rowBytes = png_get_rowbytes(png, info);
    std::vector<png_bytep> rows;
    for (int y = 0; y < spec.height; ++y) rows.push_back(const_cast<uint8_t*>(spec.pixels.data()) + y * rowBytes);
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return file;
}

// A gamma-neutral 8-bit RGB picture from 0xRRGGBB values, row by row.
inline std::vector<uint8_t> writeRgbPng(int width, int height, const std::vector<uint32_t>& rgb) {
    TestPng spec;
    spec.width = width;
    spec.height = height;
    spec.gamma = 0.5;
    for (uint32_t colour : rgb) {
        spec.pixels.push_back(static_cast<uint8_t>(colour >> 16));
        spec.pixels.push_back(static_cast<uint8_t>(colour >> 8));
        spec.pixels.push_back(static_cast<uint8_t>(colour));
    }
    return writePng(spec);
}

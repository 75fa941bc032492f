#include "tools/show_data/png_image.h"

#include "tools/show_data/output_file.h"

#include <png.h>

#include <stdexcept>
#include <string>

namespace show_data {

std::vector<uint8_t> encodePng(const PngImage& image) {
    png_image writer{};
    writer.version = PNG_IMAGE_VERSION;
    writer.width = static_cast<png_uint_32>(image.width);
    writer.height = static_cast<png_uint_32>(image.height);
    writer.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&writer, nullptr, &size, 0, image.rgba.data(), 0, nullptr)) {
        throw std::runtime_error(std::string("cannot encode a PNG: ") + writer.message);
    }
    std::vector<uint8_t> bytes(size);
    if (!png_image_write_to_memory(&writer, bytes.data(), &size, 0, image.rgba.data(), 0, nullptr)) {
        throw std::runtime_error(std::string("cannot encode a PNG: ") + writer.message);
    }
    bytes.resize(size);
    return bytes;
}

void writePng(const std::filesystem::path& path, const PngImage& image) { writeOutputFile(path, encodePng(image)); }

}  // namespace show_data

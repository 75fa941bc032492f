#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace show_data {

// Writes the bytes to `path`, making its folders. The file appears whole or
// not at all: it is written beside and renamed into place. Failures throw
// std::runtime_error naming the file.
void writeOutputFile(const std::filesystem::path& path, std::span<const uint8_t> bytes);

}  // namespace show_data

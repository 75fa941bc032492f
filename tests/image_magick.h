#pragma once

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/temp_folder.h"

// Makes a picture with ImageMagick's convert: `convert <arguments> <file>`
// in the folder. The file's bytes, or nothing when convert is missing or
// fails.
inline std::vector<uint8_t> imageMagickFile(const TempFolder& folder, const std::string& arguments,
                                            const std::string& fileName) {
    std::string path = folder / fileName;
    std::string command = "convert " + arguments + " '" + path + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return {};
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

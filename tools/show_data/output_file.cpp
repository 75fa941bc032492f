#include "tools/show_data/output_file.h"

#include <fstream>
#include <stdexcept>
#include <system_error>

namespace show_data {

void writeOutputFile(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error) throw std::runtime_error("cannot make the folder of " + path.string() + ": " + error.message());

    std::filesystem::path partial = path;
    partial += ".partial";
    {
        std::ofstream file(partial, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!file.flush()) throw std::runtime_error("cannot write " + partial.string());
    }
    std::filesystem::rename(partial, path, error);
    if (error) throw std::runtime_error("cannot write " + path.string() + ": " + error.message());
}

}  // namespace show_data

#pragma once

#include "tests/temp_folder.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

// A fresh working directory with a "data" folder for the running test: the
// event list is read and written relative to it.
class EventListDir {
public:
    EventListDir() : previous_(std::filesystem::current_path()) {
        std::filesystem::create_directory(folder_.path() / "data");
        std::filesystem::current_path(folder_.path());
    }
    ~EventListDir() { std::filesystem::current_path(previous_); }

    void write(const std::string& text) const { folder_.write("data/events.txt", text); }
    std::string read() const {
        std::ifstream in(folder_.path() / "data/events.txt", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    const std::filesystem::path& path() const { return folder_.path(); }

private:
    std::filesystem::path previous_;
    TempFolder folder_;
};

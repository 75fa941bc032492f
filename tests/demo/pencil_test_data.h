#pragma once

#include "framework/window/viewport.h"
#include "tests/fake_clock.h"
#include "tests/shared_window.h"
#include "tests/temp_folder.h"
#include "tests/window_capture.h"

#include <GL/glew.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// Links the show's generated pictures and text files into the folder's
// data/, leaving its music, recording and event list to the test.
inline void linkShowData(const TempFolder& folder) {
    const std::filesystem::path shown = std::filesystem::path(VORN_SHOW_FOLDER) / "data";
    std::filesystem::create_directories(folder.path() / "data");
    for (const auto& entry : std::filesystem::directory_iterator(shown)) {
        const std::string name = entry.path().filename().string();
        if (name == "audio" || name == "events.txt" || name == "res.vorn") continue;
        std::filesystem::create_symlink(entry.path(), folder.path() / "data" / name);
    }
}

// Scene time from a fake clock, the window open at the show's size and the
// show's data in the working folder. Skips without a display; a derived
// SetUp returns when IsSkipped().
class ShowDataGLTest : public FakeClockTest {
protected:
    void SetUp() override {
        FakeClockTest::SetUp();
        if (!openSharedWindow()) GTEST_SKIP() << "no OpenGL window could be opened";
        Viewport::instance().setSize(kWindowWidth, kWindowHeight);
        linkShowData(folder);
        inFolder = std::make_unique<WorkingDirectory>(folder.path());
    }

    TempFolder folder;
    std::unique_ptr<WorkingDirectory> inFolder;
};

#include "engine/core/exception.h"
#include "framework/app/failure_boxes.h"
#include "framework/window/platform_backend.h"
#include "framework/app/run_stats.h"
#include "framework/files/text_line.h"
#include "framework/window/window.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(LineLength, StopsAtLineFeedZeroOrEndOfData) {
    const char text[] = "ab\ncd\n";
    EXPECT_EQ(lineLength(text, 6), 3u);
    EXPECT_EQ(lineLength(text + 3, 3), 3u);
    EXPECT_EQ(lineLength("\0abc", 4), 0u);
    const char unterminated[3] = {'x', 'y', 'z'};
    EXPECT_EQ(lineLength(unterminated, 3), 3u) << "never past the data";
    EXPECT_EQ(lineLength(text, 0), 0u);
}

TEST(RunStats, FormatsTimeAndPassesPerSecond) {
    EXPECT_EQ(runStatsText(1234, 1000, 3000, 100), "time: 1234\nfps: 50.000000");
    EXPECT_EQ(runStatsText(0, 500, 500, 7), "time: 0\nfps: 0.000000") << "no time passed";
    EXPECT_EQ(runStatsText(0, 0xFFFFFC18u, 1000, 4000), "time: 0\nfps: 2000.000000") << "across the tick wrap";
}

TEST(Platform, MouseAndQuitBeforeAnyWindow) {
    Platform::setBackend(1);
    EXPECT_EQ(Platform::mouseX(), -1);
    EXPECT_EQ(Platform::mouseY(), -1);
    EXPECT_FALSE(Platform::mouseClicked());
    EXPECT_FALSE(Platform::isQuitRequested());
    Platform::requestQuit();
    EXPECT_TRUE(Platform::isQuitRequested());

    Platform::setBackend(7);
    EXPECT_FALSE(Platform::isQuitRequested());
    EXPECT_EQ(Platform::mouseX(), -1);

    Platform::setBackend(0);
    testing::internal::CaptureStderr();
    Platform::openWindow(10, 10, false);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("sorry no longer supported!"), std::string::npos);
}

TEST(Window, SettingTheSameModeDoesNothing) {
    Window window(1024, 768);
    EXPECT_FALSE(window.isFullscreen());
    window.setFullscreen(false);
    EXPECT_FALSE(window.isFullscreen());
    window.setFullscreen(true);
    EXPECT_TRUE(window.isFullscreen()) << "a closed window only remembers the mode";
}

TEST(FailureBoxes, EachKindOfFailureHasItsBoxAndExitCode) {
    EXPECT_EQ(runWithFailureBoxes([] { return 0; }), 0);

    testing::internal::CaptureStderr();
    EXPECT_EQ(runWithFailureBoxes([]() -> int { throw new zentac::Exception("", "by pointer", "f", 1); }), -2);
    EXPECT_EQ(runWithFailureBoxes([]() -> int { ZENTAC_THROW("by value"); }), -1);
    EXPECT_EQ(runWithFailureBoxes([]() -> int { throw 0; }), -2);
    std::string boxes = testing::internal::GetCapturedStderr();
    EXPECT_NE(boxes.find("[Halvenor Exception] by pointer"), std::string::npos);
    EXPECT_NE(boxes.find("[Halvenor Exception] by value"), std::string::npos);
    EXPECT_NE(boxes.find("[] Fucked up"), std::string::npos);
}

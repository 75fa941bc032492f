#include "engine/core/string.h"
#include "framework/video/console.h"
#include "framework/video/log.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

struct Written {
    std::string text;
    int cursorX = -1;
    int cursorY = -1;
};

class RecordingConsole : public Console {
public:
    explicit RecordingConsole(Written& written) : written_(written) {}
    void write(const std::string& text) override { written_.text += text; }
    void setCursor(int16_t x, int16_t y) override {
        written_.cursorX = x;
        written_.cursorY = y;
    }
    bool isRunning() override { return true; }

private:
    Written& written_;
};

}  // namespace

TEST(Log, ExpandsFormatsAndFiltersByLevel) {
    Written written;
    Log log(std::make_unique<RecordingConsole>(written));
    zentac::String name("pen");
    log.printLine(1, "%d|%f|%s|%S|%x|100%", -7, 0.5, "abc", &name);
    EXPECT_EQ(written.text, "-7|0.500000|abc|pen|%x|100%\n");

    written.text.clear();
    log.print(0, "below the threshold");
    log.setLevel(3);
    log.printLine(2, "still below");
    log.print(3, "shown");
    EXPECT_EQ(written.text, "shown");

    written.text.clear();
    const std::string longText(3000, 'x');
    log.print(3, "[%s]", longText.c_str());
    EXPECT_EQ(written.text, "[" + std::string(1024, 'x') + "]") << "each piece is cut at 1024 bytes";

    log.setCursor(4, 9);
    EXPECT_EQ(written.cursorX, 4);
    EXPECT_EQ(written.cursorY, 9);
}

TEST(TerminalConsole, AsksOnTheInterruptAndStopsOnlyOnYes) {
    TerminalConsole console;
    EXPECT_TRUE(console.isRunning());

    // As an unattended render is stopped: the first box No, every later one Yes.
    setenv("VORN_MESSAGEBOX", "no,yes", 1);
    testing::internal::CaptureStderr();
    std::raise(SIGINT);
    EXPECT_TRUE(console.isRunning()) << "No lets the render go on";
    EXPECT_TRUE(console.isRunning()) << "no question without a new interrupt";
    std::raise(SIGINT);
    EXPECT_FALSE(console.isRunning());
    EXPECT_FALSE(console.isRunning());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "[Abort?] Really?\n(answered No)\n[Abort?] Really?\n(answered Yes)\n");
    setenv("VORN_MESSAGEBOX", "no", 1);
}

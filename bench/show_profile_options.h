#pragma once

#include <optional>
#include <string>
#include <vector>

// A stretch of show time to profile: milliseconds since the main scene was
// entered, from start (inclusive) to end (exclusive), and how it was asked for.
struct ShowWindow {
    int startMs = 0;
    int endMs = 0;
    std::string label;

    bool contains(int showMs) const { return showMs >= startMs && showMs < endMs; }
};

struct ShowProfileOptions {
    std::vector<ShowWindow> windows;
    bool highBudget = false;
    // Where the last frame of each window goes as a PNG file; empty for none.
    std::string pictureFolder;
    // Frames outside every window are drawn into the window too.
    bool drawEveryFrame = false;
    // Fragments and draw calls are split by target, kind of primitive,
    // source and program; every split draws apart, so times are not the
    // show's.
    bool splitDraws = false;
};

// The options from the program's arguments (without its path), or nothing
// after telling standard error what is wrong.
std::optional<ShowProfileOptions> parseShowProfileOptions(const std::vector<std::string>& arguments);

extern const char* const showProfileUsage;

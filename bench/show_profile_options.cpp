#include "bench/show_profile_options.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

// Far beyond the show's ten minutes, and well inside an int of milliseconds.
constexpr double kLatestSecond = 100000.0;

std::optional<int> parseSeconds(const std::string& text) {
    double seconds = 0;
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, seconds);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    if (!(seconds >= 0.0 && seconds <= kLatestSecond)) return std::nullopt;
    return static_cast<int>(std::lround(seconds * 1000.0));
}

// "start:end" in seconds, or "start" alone for the one second from there.
std::optional<ShowWindow> parseWindow(const std::string& text) {
    const std::size_t colon = text.find(':');
    std::optional<int> start = parseSeconds(text.substr(0, colon));
    if (!start) return std::nullopt;
    std::optional<int> end = colon == std::string::npos ? *start + 1000 : parseSeconds(text.substr(colon + 1));
    if (!end || *end <= *start) return std::nullopt;
    return ShowWindow{*start, *end, text};
}

}  // namespace

const char* const showProfileUsage =
    "usage: vorn_show_profile [--budget normal|high] [--png FOLDER] [--draw-every-frame] [--split] WINDOW...\n"
    "  WINDOW is START:END in seconds of show time (since the main scene began),\n"
    "  or START alone for the one second from START; windows may overlap.\n";

std::optional<ShowProfileOptions> parseShowProfileOptions(const std::vector<std::string>& arguments) {
    ShowProfileOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == "--budget" && hasValue && (arguments[i + 1] == "normal" || arguments[i + 1] == "high")) {
            options.highBudget = arguments[++i] == "high";
        } else if (argument == "--png" && hasValue) {
            options.pictureFolder = arguments[++i];
        } else if (argument == "--draw-every-frame") {
            options.drawEveryFrame = true;
        } else if (argument == "--split") {
            options.splitDraws = true;
        } else if (std::optional<ShowWindow> window = parseWindow(argument)) {
            options.windows.push_back(*window);
        } else {
            std::fprintf(stderr, "vorn_show_profile: cannot use '%s'\n%s", argument.c_str(), showProfileUsage);
            return std::nullopt;
        }
    }
    if (options.windows.empty()) {
        std::fprintf(stderr, "vorn_show_profile: no window given\n%s", showProfileUsage);
        return std::nullopt;
    }
    return options;
}

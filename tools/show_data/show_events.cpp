#include "tools/show_data/show_events.h"

namespace show_data {

namespace {

// Scene 0 is black; the main scene, and the music, begin a second in.
constexpr int32_t kJumpMs = 1000;
// The main scene goes black at 580687 ms; the show ends just after.
constexpr int32_t kQuitMs = 581000;
constexpr int32_t kEscapeSpacingMs = 200;
constexpr int kEscapePresses = 3;
constexpr int32_t kBarMs = 2000;

}  // namespace

std::vector<ShowEvent> showEvents(const Composition& composition) {
    const int32_t breakdown = firstSectionOf(composition, 69).timeMs;
    const int32_t bridge = firstSectionOf(composition, 70).timeMs;
    const int32_t pencil = firstSectionOf(composition, 71).timeMs;

    std::vector<ShowEvent> events = {
        {trigger::kJumpToMainScene, kJumpMs},
        // The breakdown pulls the figures far back, and they come slowly
        // closer again.
        {trigger::kZoom, breakdown},
        // The fills calm down as the paper is laid out.
        {trigger::kFlicker, bridge},
        // With the paper the pulse, width and jitter of the outlines start
        // their course anew, one bar after another.
        {trigger::kPulse, pencil},
        {trigger::kLineWidth, pencil + kBarMs},
        {trigger::kJitter, pencil + 2 * kBarMs},
    };
    for (int press = 0; press < kEscapePresses; ++press) {
        events.push_back({trigger::kMainSceneEscape, kQuitMs + press * kEscapeSpacingMs});
    }
    return events;
}

}  // namespace show_data

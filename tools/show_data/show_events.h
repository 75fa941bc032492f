#pragma once

#include <cstdint>
#include <vector>

#include "tools/show_data/composition.h"

namespace show_data {

// One replayed key press: the id of the trigger it fires and the time, in
// ms since the scene that is current then was entered.
struct ShowEvent {
    int32_t triggerId;
    int32_t time;

    bool operator==(const ShowEvent&) const = default;
};

// Trigger ids are handed out in the order the show makes its triggers: the
// default controls of scene 0 (Escape, F1-F9, four MIDI gain triggers), the
// same for scene 1, then the main scene's own keys.
namespace trigger {
inline constexpr int32_t kJumpToMainScene = 2;  // scene 0's F2
inline constexpr int32_t kMainSceneEscape = 14;
inline constexpr int32_t kFlicker = 28;         // Q
inline constexpr int32_t kLineWidth = 30;       // E
inline constexpr int32_t kPulse = 31;           // R
inline constexpr int32_t kJitter = 32;          // T
inline constexpr int32_t kZoom = 33;            // Space
}  // namespace trigger

// The key presses that play the show: the jump from the black scene into
// the main scene, envelope restarts on section downbeats of the music, and
// the triple Escape that ends the show once the picture has gone black.
std::vector<ShowEvent> showEvents(const Composition& composition);

}  // namespace show_data

#pragma once

namespace show_data {

// The show's instruments by MIDI channel. The scenes listen to notes 36 to
// 45 on every channel, so the tonal parts keep clear of them: the bass
// plays below, everything else above.
namespace channel {
inline constexpr int kBass = 0;
inline constexpr int kPad = 1;
inline constexpr int kPluck = 2;
inline constexpr int kLead = 3;
inline constexpr int kDrums = 9;
}  // namespace channel

// Drum notes in the General MIDI drum map.
namespace drum {
inline constexpr int kKick = 36;
inline constexpr int kSnare = 38;
inline constexpr int kClap = 40;
inline constexpr int kFloorTom = 41;
inline constexpr int kClosedHat = 42;
inline constexpr int kLowTom = 45;
inline constexpr int kOpenHat = 46;
inline constexpr int kCrash = 49;
}  // namespace drum

}  // namespace show_data

#pragma once

// Dimensions of the MIDI pattern tables: a pattern is bank offset (0 or 128)
// plus program, notes are MIDI note numbers, and no pattern has more steps
// than kSteps.
namespace midi_table {

inline constexpr int kPatterns = 256;
inline constexpr int kNotes = 128;
inline constexpr int kSteps = 65;

}  // namespace midi_table

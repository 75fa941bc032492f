#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// One message of a MIDI recording and the scene time, in ms, at which it
// is due.
struct RecordedMidiMessage {
    int32_t time;
    uint32_t message;
};

// Reads the text of a MIDI recording:
//
//   entries=4
//   time=0
//   mididata=0x2A4090
//   time=125
//   mididata=0xF8
//
// The entries line counts the value lines that follow, two per message; a
// missing or malformed one counts none, and reading also stops where the
// text ends or at a zero byte. Each value line is read after a fixed prefix
// whose text is not checked: the time as a leading decimal integer (0 when
// there is none, clamped to 32 bits), the message as 1 to 8 hexadecimal
// digits read from the right up to the first non-digit; no digits or more
// than 8 read as 666. Never reads past `size` bytes.
std::vector<RecordedMidiMessage> parseMidiRecording(const char* text, std::size_t size);

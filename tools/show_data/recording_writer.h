#pragma once

#include <string>
#include <vector>

#include "tools/show_data/midi_message.h"

namespace show_data {

// The text of a MIDI recording as the show reads it: "entries=%d" counting
// the value lines, then for every message "time=%d" (ms) and
// "mididata=0x%x".
std::string formatRecording(const std::vector<TimedMidiMessage>& messages);

}  // namespace show_data

#pragma once

#include <alsa/asoundlib.h>

#include <cstdint>
#include <optional>

namespace host {

// The short MIDI message that a sequencer event stands for, in one word:
// status in bits 0-7, first data byte in bits 8-15, second in bits 16-23.
// A note-on of velocity 0 stays a note-on. None for events that are no
// short message (system exclusive, client and port announcements).
std::optional<uint32_t> midiEventWord(const snd_seq_event_t& event);

}  // namespace host

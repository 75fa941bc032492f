#pragma once

#include <alsa/asoundlib.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace host {

// The note-off that a note with a duration owes: due `duration` after the
// note, in ticks of the queue the note came through, or in milliseconds
// when the note is stamped in real time.
struct OwedNoteOff {
    uint32_t message;
    uint32_t duration;
    bool inTicks;
};

// The short MIDI messages that one sequencer event stands for, each in one
// word: status in bits 0-7, first data byte in bits 8-15, second in bits
// 16-23.
struct MidiEventWords {
    std::array<uint32_t, 2> words{};
    std::size_t count = 0;
    std::optional<OwedNoteOff> noteOff;

    // The messages due at once, in order; they live in this object.
    std::span<const uint32_t> now() const& { return {words.data(), count}; }
    std::span<const uint32_t> now() const&& = delete;
};

// A note-on of velocity 0 stays a note-on. A note with a duration is its
// note-on now and its note-off later; a 14-bit controller below 32 is its
// two 7-bit controller messages, the high half first. Nothing for events
// that are no short message (system exclusive, client and port
// announcements).
MidiEventWords midiEventWords(const snd_seq_event_t& event);

}  // namespace host

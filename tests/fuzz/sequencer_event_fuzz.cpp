// Turns the input, cut into sequencer events, into short MIDI messages as
// the live port does, holding the note-offs that notes with a duration owe.
// Any local client can write any event to the port.
#include <alsa/asoundlib.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/midi_event_word.h"
#include "platform/pending_note_offs.h"

namespace {

// A status byte, then data bytes of 7 bits: receivers take them as they come.
void checkShortMessage(uint32_t message) {
    if ((message & 0x80u) == 0 || (message & 0xFF808000u) != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    host::PendingNoteOffs noteOffs;
    const host::PendingNoteOffs::Clock::time_point start{};
    for (size_t at = 0; at + sizeof(snd_seq_event_t) <= size; at += sizeof(snd_seq_event_t)) {
        snd_seq_event_t event;
        std::memcpy(&event, data + at, sizeof event);
        const host::MidiEventWords words = host::midiEventWords(event);
        for (const uint32_t message : words.now()) checkShortMessage(message);
        if (!words.noteOff) continue;
        checkShortMessage(words.noteOff->message);
        const auto due = start + std::chrono::milliseconds(words.noteOff->duration);
        if (const auto displaced = noteOffs.add(due, words.noteOff->message)) checkShortMessage(*displaced);
    }
    const auto end = start + std::chrono::hours(24 * 365);
    while (const auto message = noteOffs.takeDue(end)) checkShortMessage(*message);
    return 0;
}

#include "platform/midi_event_word.h"

#include <algorithm>

namespace host {

namespace {

uint32_t word(unsigned status, unsigned first = 0, unsigned second = 0) {
    return (status & 0xFFu) | (first & 0x7Fu) << 8 | (second & 0x7Fu) << 16;
}

// The message that a single-message event stands for.
std::optional<uint32_t> singleWord(const snd_seq_event_t& event) {
    const snd_seq_ev_note_t& note = event.data.note;
    const snd_seq_ev_ctrl_t& control = event.data.control;
    switch (event.type) {
    case SND_SEQ_EVENT_NOTEON: return word(0x90 | (note.channel & 0x0F), note.note, note.velocity);
    case SND_SEQ_EVENT_NOTEOFF: return word(0x80 | (note.channel & 0x0F), note.note, note.velocity);
    case SND_SEQ_EVENT_KEYPRESS: return word(0xA0 | (note.channel & 0x0F), note.note, note.velocity);
    case SND_SEQ_EVENT_CONTROLLER: return word(0xB0 | (control.channel & 0x0F), control.param, control.value);
    case SND_SEQ_EVENT_PGMCHANGE: return word(0xC0 | (control.channel & 0x0F), control.value);
    case SND_SEQ_EVENT_CHANPRESS: return word(0xD0 | (control.channel & 0x0F), control.value);
    case SND_SEQ_EVENT_PITCHBEND: {
        // The sequencer centres the bend on 0, the message on 0x2000. Any
        // client may send any int: a value past the 14 bits bends fully.
        const unsigned bend = static_cast<unsigned>(std::clamp(control.value, -0x2000, 0x1FFF) + 0x2000);
        return word(0xE0 | (control.channel & 0x0F), bend, bend >> 7);
    }
    case SND_SEQ_EVENT_QFRAME: return word(0xF1, control.value);
    case SND_SEQ_EVENT_SONGPOS: return word(0xF2, control.value, control.value >> 7);
    case SND_SEQ_EVENT_SONGSEL: return word(0xF3, control.value);
    case SND_SEQ_EVENT_TUNE_REQUEST: return word(0xF6);
    case SND_SEQ_EVENT_CLOCK: return word(0xF8);
    case SND_SEQ_EVENT_START: return word(0xFA);
    case SND_SEQ_EVENT_CONTINUE: return word(0xFB);
    case SND_SEQ_EVENT_STOP: return word(0xFC);
    case SND_SEQ_EVENT_SENSING: return word(0xFE);
    case SND_SEQ_EVENT_RESET: return word(0xFF);
    default: return std::nullopt;
    }
}

}  // namespace

MidiEventWords midiEventWords(const snd_seq_event_t& event) {
    MidiEventWords out;
    auto add = [&out](uint32_t message) { out.words[out.count++] = message; };
    const snd_seq_ev_note_t& note = event.data.note;
    const snd_seq_ev_ctrl_t& control = event.data.control;
    switch (event.type) {
    case SND_SEQ_EVENT_NOTE:
        add(word(0x90 | (note.channel & 0x0F), note.note, note.velocity));
        out.noteOff = OwedNoteOff{word(0x80 | (note.channel & 0x0F), note.note, note.off_velocity), note.duration,
                                  snd_seq_ev_is_tick(&event)};
        break;
    case SND_SEQ_EVENT_CONTROL14: {
        const unsigned status = 0xB0 | (control.channel & 0x0F);
        const unsigned value = static_cast<unsigned>(control.value);
        if (control.param < 32) {
            add(word(status, control.param, value >> 7));
            add(word(status, control.param + 32, value));
        } else {
            // Controllers from 32 up have no second half.
            add(word(status, control.param, value));
        }
        break;
    }
    default:
        if (const std::optional<uint32_t> message = singleWord(event)) add(*message);
        break;
    }
    return out;
}

}  // namespace host

#pragma once

#include <vector>

#include "tools/show_data/midi_message.h"

namespace show_data {

// Where a section of the music begins: the pattern it selects for the
// scenes and the ms of its first downbeat.
struct SectionStart {
    int pattern;
    int timeMs;
};

// The show's music as one MIDI recording at a fixed tempo: a running clock,
// a start, pattern selections, the notes, and a stop before the picture goes
// black. Time 0 is the start of the music.
struct Composition {
    std::vector<TimedMidiMessage> messages;
    std::vector<SectionStart> sections;
    int quarterMs;
    // By then the last note has died away.
    int lengthMs;
};

Composition composeShow();

// The first section that plays `pattern`; throws std::invalid_argument when
// none does.
const SectionStart& firstSectionOf(const Composition& composition, int pattern);

}  // namespace show_data

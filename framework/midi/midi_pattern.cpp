#include "framework/midi/midi_pattern.h"

#include "framework/midi/midi_input.h"
#include "framework/midi/midi_table_size.h"

namespace {

constexpr int kAll = -1;
// Every step of the show's longest patterns, 4 bars of 16.
constexpr int kAllSteps = 64;

}  // namespace

MidiPattern::MidiPattern(int pattern, int stepsPerQuarter, int stepsPerBar, int bars)
    : pattern_(pattern), stepsPerQuarter_(stepsPerQuarter), stepsPerBar_(stepsPerBar), bars_(bars) {}

void MidiPattern::addNote(MidiPatternListener* listener, int note, int step) {
    const int firstNote = note == kAll ? 0 : note;
    const int lastNote = note == kAll ? midi_table::kNotes - 1 : note;
    const int firstStep = step == kAll ? 0 : step;
    const int lastStep = step == kAll ? kAllSteps - 1 : step;
    for (int n = firstNote; n <= lastNote; ++n) {
        for (int s = firstStep; s <= lastStep; ++s) bindings_.push_back({listener, n, s});
    }
}

void MidiPattern::applyTo(MidiInput& input) const {
    input.setPatternShape(pattern_, stepsPerQuarter_, stepsPerBar_, bars_);
    for (const NoteBinding& binding : bindings_) input.addNoteListener(pattern_, binding.note, binding.step, binding.listener);
    if (handler_ != nullptr) input.setPatternHandler(pattern_, handler_);
}

#include "framework/midi/note_listener_table.h"

#include "engine/core/exception.h"
#include "framework/midi/midi_table_size.h"

namespace {

bool insideTables(int pattern, int note, int step) {
    return pattern >= 0 && pattern < midi_table::kPatterns && note >= 0 && note < midi_table::kNotes &&
           step >= 0 && step < midi_table::kSteps;
}

uint32_t cellOf(int pattern, int note, int step) {
    return static_cast<uint32_t>((pattern * midi_table::kNotes + note) * midi_table::kSteps + step);
}

}  // namespace

void NoteListenerTable::add(int pattern, int note, int step, MidiPatternListener* listener) {
    if (!insideTables(pattern, note, step)) ZENTAC_THROW("MIDI note listener outside the pattern tables");
    if (listener == nullptr) ZENTAC_THROW("MIDI note listener is null");
    cells_[cellOf(pattern, note, step)].push_back(listener);
}

void NoteListenerTable::notify(int pattern, int note, int step) {
    if (!insideTables(pattern, note, step)) return;
    auto cell = cells_.find(cellOf(pattern, note, step));
    if (cell == cells_.end()) return;
    // By index and up to the count at the start: a listener that registers
    // more listeners here must not invalidate the walk.
    const std::vector<MidiPatternListener*>& listeners = cell->second;
    for (std::size_t i = 0, count = listeners.size(); i < count; ++i) {
        listeners[i]->onNote(pattern, note, step);
    }
}

#include "tools/show_data/score_writer.h"

#include <algorithm>
#include <cstdint>

namespace show_data {

void ScoreWriter::note(int channel, int tick, int note, int velocity, int lengthTicks) {
    add(tick, Order::NoteOn, midi::noteOn(channel, note, velocity));
    add(tick + lengthTicks, Order::NoteOff, midi::noteOff(channel, note));
}

void ScoreWriter::hit(int channel, int tick, int note, int velocity) {
    add(tick, Order::NoteOn, midi::noteOn(channel, note, velocity));
}

void ScoreWriter::selectPattern(int tick, int pattern) {
    add(tick, Order::Select, midi::controlChange(0, midi::kBankSelectLsb, pattern >= 128 ? 1 : 0));
    add(tick, Order::Select, midi::programChange(0, pattern % 128));
}

void ScoreWriter::start(int tick) { add(tick, Order::Start, midi::kStart); }

void ScoreWriter::stop(int tick) { add(tick, Order::Stop, midi::kStop); }

void ScoreWriter::clock(int fromTick, int toTick) {
    for (int tick = fromTick; tick < toTick; ++tick) add(tick, Order::Clock, midi::kClock);
}

int ScoreWriter::msAt(int tick) const {
    const int64_t scaled = static_cast<int64_t>(tick) * quarterMs_;
    return static_cast<int>((scaled + midi::kClocksPerQuarter / 2) / midi::kClocksPerQuarter);
}

std::vector<TimedMidiMessage> ScoreWriter::messages() const {
    std::vector<Entry> sorted = entries_;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Entry& a, const Entry& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });
    std::vector<TimedMidiMessage> messages;
    messages.reserve(sorted.size());
    for (const Entry& entry : sorted) messages.push_back({msAt(entry.tick), entry.message});
    return messages;
}

void ScoreWriter::add(int tick, Order order, uint32_t message) { entries_.push_back({tick, order, message}); }

}  // namespace show_data

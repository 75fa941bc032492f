#include "framework/midi/midi_message_ring.h"

bool MidiMessageRing::push(uint32_t message) {
    std::lock_guard<std::mutex> guard(lock_);
    const uint32_t next = (write_ + 1) % kSlots;
    // One slot stays empty so that a full ring never looks empty.
    if (next == read_.load(std::memory_order_acquire)) return false;
    slots_[write_] = message;
    write_ = next;
    return true;
}

uint32_t MidiMessageRing::writeIndex() {
    std::lock_guard<std::mutex> guard(lock_);
    return write_;
}

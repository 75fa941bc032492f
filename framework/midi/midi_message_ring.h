#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>

// The queue of short MIDI messages between their writers (the live device's
// reader thread, the replay) and the one reader, the main thread. Writers
// store under the lock; the reader takes the write index under it and then
// handles the slots without it. Unread messages are never overwritten.
class MidiMessageRing {
public:
    static constexpr uint32_t kSlots = 10000;

    // False, storing nothing, when the ring is full.
    bool push(uint32_t message);

    // Hands every message stored before the call to `handle`, oldest first;
    // messages that arrive meanwhile wait for the next drain. Reader only.
    template <class Handler>
    void drain(Handler&& handle) {
        const uint32_t end = writeIndex();
        uint32_t read = read_.load(std::memory_order_relaxed);
        while (read != end) {
            const uint32_t message = slots_[read];
            read = (read + 1) % kSlots;
            // Frees the slot before handling, so a handler that throws
            // cannot make the message come again.
            read_.store(read, std::memory_order_release);
            handle(message);
        }
    }

private:
    uint32_t writeIndex();

    std::array<uint32_t, kSlots> slots_{};
    std::mutex lock_;
    uint32_t write_ = 0;
    // Written by the reader alone; writers look at it to see whether the ring
    // is full.
    std::atomic<uint32_t> read_{0};
};

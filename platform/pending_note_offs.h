#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>

namespace host {

// Note-offs that notes with a duration owe, each waiting for its time.
// Those due at the same time go out in the order they were added. At most
// kCapacity wait: one more makes the soonest go at once, so a flood of long
// notes cannot grow the list without bound.
class PendingNoteOffs {
public:
    using Clock = std::chrono::steady_clock;
    // Every key of every channel held at once.
    static constexpr std::size_t kCapacity = 16 * 128;

    // The note-off that must go at once to make room, if any.
    std::optional<uint32_t> add(Clock::time_point due, uint32_t message);
    // The next note-off due by `now`, taken off the list.
    std::optional<uint32_t> takeDue(Clock::time_point now);
    // Whole milliseconds, rounded up, until the next one is due: 0 when one
    // is due already, -1 when none waits (poll's timeouts).
    int millisecondsToNext(Clock::time_point now) const;

private:
    std::multimap<Clock::time_point, uint32_t> waiting_;
};

}  // namespace host

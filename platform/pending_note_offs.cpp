#include "platform/pending_note_offs.h"

#include <algorithm>
#include <limits>

namespace host {

std::optional<uint32_t> PendingNoteOffs::add(Clock::time_point due, uint32_t message) {
    std::optional<uint32_t> displaced;
    if (waiting_.size() == kCapacity) displaced = takeDue(Clock::time_point::max());
    waiting_.emplace(due, message);
    return displaced;
}

std::optional<uint32_t> PendingNoteOffs::takeDue(Clock::time_point now) {
    if (waiting_.empty() || waiting_.begin()->first > now) return std::nullopt;
    const uint32_t message = waiting_.begin()->second;
    waiting_.erase(waiting_.begin());
    return message;
}

int PendingNoteOffs::millisecondsToNext(Clock::time_point now) const {
    if (waiting_.empty()) return -1;
    if (waiting_.begin()->first <= now) return 0;
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(waiting_.begin()->first - now).count();
    return static_cast<int>(std::min<decltype(wait)>(wait, std::numeric_limits<int>::max()));
}

}  // namespace host

#include "platform/ticks.h"

#include <ctime>

namespace host {
namespace {

uint32_t monotonicTicks() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

TickSource currentSource = monotonicTicks;

}  // namespace

uint32_t tickCount() { return currentSource(); }

void setTickSource(TickSource source) { currentSource = source ? source : monotonicTicks; }

}  // namespace host

#pragma once

#include <cstdint>

namespace host {

// Milliseconds from a monotonic clock, wrapping at 2^32 like a tick count.
// Take differences as unsigned so that the wrap does no harm.
uint32_t tickCount();

// Replaces the clock (tests); null restores the monotonic clock.
using TickSource = uint32_t (*)();
void setTickSource(TickSource source);

}  // namespace host

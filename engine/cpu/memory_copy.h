#pragma once

#include <cstddef>

namespace zentac {

// Copies count bytes from source to dest, which must not overlap, and
// returns dest: memcpy's contract. Copies of 64 bytes and more move in
// 64-byte blocks to an aligned destination; large ones stream past the
// cache so that they do not push out what the caller works on.
void* MmxMemcpy(void* dest, const void* source, size_t count);

}  // namespace zentac

#pragma once

#include <cstdint>

#include "engine/streams/stream.h"

namespace zentac {

// Reads exactly count bytes from offset; false when the stream cannot seek
// there or holds fewer bytes.
inline bool ReadAt(Stream& stream, int32_t offset, void* buffer, int32_t count) {
    return stream.Seek(offset, kSeekSet) == offset && (count == 0 || stream.Read(buffer, count) == count);
}

}  // namespace zentac

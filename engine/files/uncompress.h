#pragma once

#include <cstdint>

namespace zentac {

// Inflates one zlib stream; returns the bytes written to destination.
// Throws "zlib uncompression failed." on any zlib error, including a
// destination too small for the data.
int32_t Uncompress(uint8_t* destination, int32_t capacity, const uint8_t* source, int32_t length);

}  // namespace zentac

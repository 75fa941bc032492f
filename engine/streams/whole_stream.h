#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zentac {

class Stream;

// Every byte of the stream from its start; empty when the stream is empty
// or reads short. The library-backed codecs decode from memory.
std::vector<uint8_t> ReadWholeStream(Stream& stream);

}  // namespace zentac

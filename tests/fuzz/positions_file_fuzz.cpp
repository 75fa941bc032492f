// Reads the input as a positions file of the scrap layers.
#include <cstddef>
#include <cstdint>

#include "demo/scraps/position_list.h"
#include "engine/core/exception.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        parsePositions(reinterpret_cast<const char*>(data), size, "data/fuzz.txt");
    } catch (const zentac::Exception&) {
        // A malformed file is refused, naming the line.
    }
    return 0;
}

// Reads the input as a vertex file of the pen figures.
#include <cstddef>
#include <cstdint>

#include "demo/pen/vertex_list.h"
#include "engine/core/exception.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        parseVertexFile(reinterpret_cast<const char*>(data), size, "data/fuzz.txt");
    } catch (const zentac::Exception&) {
        // A malformed file is refused, naming the line.
    }
    return 0;
}

#include "engine/files/uncompress.h"

#include <zlib.h>

#include "engine/core/exception.h"

namespace zentac {

int32_t Uncompress(uint8_t* destination, int32_t capacity, const uint8_t* source, int32_t length) {
    if (capacity < 0 || length < 0) ZENTAC_THROW("zlib uncompression failed.");
    uLongf produced = static_cast<uLongf>(capacity);
    if (uncompress(destination, &produced, source, static_cast<uLong>(length)) != Z_OK) {
        ZENTAC_THROW("zlib uncompression failed.");
    }
    return static_cast<int32_t>(produced);
}

}  // namespace zentac

#include "engine/streams/stream.h"

#include <limits>

namespace zentac {

int32_t Stream::SeekTarget(int32_t position, int32_t size, int32_t offset, int32_t origin) {
    int64_t target;
    switch (origin) {
        case kSeekSet: target = offset; break;
        case kSeekCurrent: target = int64_t{position} + offset; break;
        case kSeekEnd: target = int64_t{size} - offset; break;
        default: return position;
    }
    if (target < 0 || target > std::numeric_limits<int32_t>::max()) return position;
    return static_cast<int32_t>(target);
}

}  // namespace zentac

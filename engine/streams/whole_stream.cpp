#include "engine/streams/whole_stream.h"

#include "engine/streams/stream.h"

namespace zentac {

std::vector<uint8_t> ReadWholeStream(Stream& stream) {
    int32_t size = stream.Size();
    if (size <= 0 || stream.Seek(0, kSeekSet) != 0) return {};
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (stream.Read(bytes.data(), size) != size) return {};
    return bytes;
}

}  // namespace zentac

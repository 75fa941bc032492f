#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/image/bitmap.h"
#include "engine/core/exception.h"
#include "engine/files/memory_stream.h"

namespace codec_test {

// Loads the bytes as the show loads a file: the codec comes from the name.
inline zentac::Bitmap Load(const std::vector<uint8_t>& bytes, const char* name) {
    zentac::MemoryStream stream(bytes.data(), static_cast<int32_t>(bytes.size()), zentac::MemoryStream::Borrow{});
    zentac::Bitmap bitmap;
    bitmap.Load(stream, name);
    return bitmap;
}

// True when the bytes decode, false when loading fails with the engine's
// exception. Anything else, a crash included, fails the test.
inline bool Decodes(const std::vector<uint8_t>& bytes, const char* name) {
    try {
        Load(bytes, name);
        return true;
    } catch (const zentac::Exception&) {
        return false;
    }
}

// The message that loading fails with; empty when the bytes decode.
inline std::string LoadFailure(const std::vector<uint8_t>& bytes, const char* name) {
    try {
        Load(bytes, name);
        return {};
    } catch (const zentac::Exception& failure) {
        return failure.Message().Data();
    }
}

// Every byte from `first` on, XORed in turn with each mask and handed to
// check, one change at a time.
template <typename Check>
void ForEachFlip(std::vector<uint8_t> bytes, size_t first, Check check) {
    for (size_t at = first; at < bytes.size(); ++at) {
        for (uint8_t mask : {0x01, 0x10, 0x80, 0xFF}) {
            bytes[at] ^= mask;
            check(bytes);
            bytes[at] ^= mask;
        }
    }
}

}  // namespace codec_test

#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "codec_test_helpers.h"

// Damage loops for the image decoders: every decode of a broken file must
// give a picture or the loader's exception (the sanitizers catch reads and
// writes out of bounds), and no small file may ask for a huge picture.
namespace codec_damage {

// A damaged file of n bytes decodes to at most this many pixel bytes per
// file byte; the decoders' run-length limits stay below it.
constexpr size_t kMaxBytesPerFileByte = size_t{1} << 16;

// False when loading fails with the engine's exception.
inline bool LoadsWithinBounds(const std::vector<uint8_t>& bytes, const char* name) {
    try {
        zentac::Bitmap bitmap = codec_test::Load(bytes, name);
        size_t pixelBytes = static_cast<size_t>(bitmap.Pitch()) * static_cast<size_t>(bitmap.Height());
        EXPECT_LE(pixelBytes, (bytes.size() + 1) * kMaxBytesPerFileByte) << name;
        return true;
    } catch (const zentac::Exception&) {
        return false;
    }
}

// Every shorter piece of the file fails to load, except those that only
// miss the last optionalTail bytes.
inline void ExpectEveryCutFails(const std::vector<uint8_t>& bytes, const char* name, size_t optionalTail = 0) {
    for (size_t length = 0; length + optionalTail < bytes.size(); ++length) {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_FALSE(LoadsWithinBounds(cut, name)) << name << " cut to " << length << " bytes";
    }
}

// 16- and 32-bit fields at every offset of the header, in either byte
// order: zero, one, all ones, and the largest and smallest signed values.
inline void DecodeWithExtremeFields(const std::vector<uint8_t>& bytes, size_t headerBytes, const char* name) {
    const std::vector<std::vector<uint8_t>> values = {
        {0, 0},       {0, 1},       {1, 0},       {0xFF, 0xFF},       {0x7F, 0xFF},       {0xFF, 0x7F},
        {0x80, 0},    {0, 0x80},    {0, 0, 0, 0}, {0xFF, 0xFF, 0xFF, 0xFF}, {0x7F, 0xFF, 0xFF, 0xFF},
        {0xFF, 0xFF, 0xFF, 0x7F},   {0x80, 0, 0, 0}, {0, 0, 0, 0x80},
    };
    for (size_t at = 0; at < std::min(headerBytes, bytes.size()); ++at) {
        for (const std::vector<uint8_t>& value : values) {
            if (at + value.size() > bytes.size()) continue;
            std::vector<uint8_t> changed = bytes;
            std::copy(value.begin(), value.end(), changed.begin() + static_cast<std::ptrdiff_t>(at));
            LoadsWithinBounds(changed, name);
        }
    }
}

// Cuts, extreme header fields and every byte flipped.
inline void ExpectDamageHandled(const std::vector<uint8_t>& bytes, size_t headerBytes, const char* name,
                                size_t optionalTail = 0) {
    ASSERT_TRUE(LoadsWithinBounds(bytes, name)) << "the undamaged " << name;
    ExpectEveryCutFails(bytes, name, optionalTail);
    DecodeWithExtremeFields(bytes, headerBytes, name);
    codec_test::ForEachFlip(bytes, 0, [name](const std::vector<uint8_t>& flipped) { LoadsWithinBounds(flipped, name); });
}

}  // namespace codec_damage

#include "framework/render/pixel_routines.h"

#include "framework/render/pixel_word.h"

#include <cstring>

namespace {

struct Channels {
    uint32_t red, green, blue;
};

Channels channelsOf(uint32_t pixel) { return {redOf(pixel), greenOf(pixel), blueOf(pixel)}; }

// The top bits of each channel: 5 for the outer two, middleBits for the middle.
uint16_t pack(uint32_t high, uint32_t middle, uint32_t low, int middleBits) {
    return static_cast<uint16_t>((high >> 3) << (5 + middleBits) | (middle >> (8 - middleBits)) << 5 | low >> 3);
}

template <class PackOne>
void packRow(uint16_t* destination, const uint32_t* source, std::size_t count, PackOne packOne) {
    for (std::size_t i = 0; i < count; ++i) destination[i] = packOne(channelsOf(source[i]));
}

}  // namespace

void mmxCopy64(void* destination, const void* source, std::size_t count) {
    if (count > 0) std::memcpy(destination, source, count);
}

void mmxPack24(uint8_t* destination, const uint32_t* source, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        destination[3 * i] = static_cast<uint8_t>(blueOf(source[i]));
        destination[3 * i + 1] = static_cast<uint8_t>(greenOf(source[i]));
        destination[3 * i + 2] = static_cast<uint8_t>(redOf(source[i]));
    }
}

void mmxPack565(uint16_t* destination, const uint32_t* source, std::size_t count) {
    packRow(destination, source, count, [](Channels c) { return pack(c.red, c.green, c.blue, 6); });
}

void mmxPack565Swapped(uint16_t* destination, const uint32_t* source, std::size_t count) {
    packRow(destination, source, count, [](Channels c) { return pack(c.blue, c.green, c.red, 6); });
}

void mmxPack555(uint16_t* destination, const uint32_t* source, std::size_t count) {
    packRow(destination, source, count, [](Channels c) { return pack(c.red, c.green, c.blue, 5); });
}

void mmxPack555Swapped(uint16_t* destination, const uint32_t* source, std::size_t count) {
    packRow(destination, source, count, [](Channels c) { return pack(c.blue, c.green, c.red, 5); });
}

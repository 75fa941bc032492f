#pragma once

#include <cstddef>
#include <cstdint>

// Row copies and packs of 32-bit pixels (bytes blue, green, red, spare), in
// portable C++ under the names the frame code has always used.

// Copies count bytes.
void mmxCopy64(void* destination, const void* source, std::size_t count);
// Keeps the blue, green and red bytes of each pixel: 3 bytes per pixel.
void mmxPack24(uint8_t* destination, const uint32_t* source, std::size_t count);
// 5-6-5: red's top 5 bits in bits 11-15, green's top 6 in 5-10, blue's top 5 in 0-4.
void mmxPack565(uint16_t* destination, const uint32_t* source, std::size_t count);
// 5-6-5 with blue in bits 11-15 and red in bits 0-4.
void mmxPack565Swapped(uint16_t* destination, const uint32_t* source, std::size_t count);
// 5-5-5: red in bits 10-14, green in 5-9, blue in 0-4; bit 15 clear.
void mmxPack555(uint16_t* destination, const uint32_t* source, std::size_t count);
// 5-5-5 with blue in bits 10-14 and red in bits 0-4.
void mmxPack555Swapped(uint16_t* destination, const uint32_t* source, std::size_t count);

#pragma once

#include <cstdint>

namespace zentac {

// Bits of the processor feature word.
inline constexpr uint32_t kCpuMmx = 0x01;
inline constexpr uint32_t kCpuMmxExtensions = 0x02;  // AMD's extended MMX
inline constexpr uint32_t kCpu3DNow = 0x04;
inline constexpr uint32_t kCpu3DNowExtensions = 0x08;
inline constexpr uint32_t kCpuSse = 0x10;
inline constexpr uint32_t kCpuSse2 = 0x20;

// What the processor offers, asked once; 0 on processors that cannot say.
uint32_t QueryCpuFeatures();

// 1 with MMX, else 0.
int HasMMX();

}  // namespace zentac

// engine/cpu: the processor's features and the block copy chosen by them; uses nothing else.
#pragma once

#include <cstddef>
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

// A copy with memcpy's contract.
using MemoryCopyFunction = void* (*)(void* dest, const void* source, size_t count);

// The block copy for a feature word: the streaming MmxMemcpy on processors
// with AMD's extended 3DNow!, the C library's memcpy on all others.
MemoryCopyFunction SelectMemoryCopy(uint32_t features);

// The engine's block copy, chosen for this processor before main runs;
// the C library's memcpy until then.
extern MemoryCopyFunction MemoryCopyHook;

}  // namespace zentac

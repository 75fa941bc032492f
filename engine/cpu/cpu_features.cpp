#include "engine/cpu/cpu_features.h"

#include <cstring>

#include "engine/cpu/memory_copy.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace zentac {

namespace {

uint32_t ReadFeatureWord() {
    uint32_t features = 0;
#if defined(__x86_64__) || defined(__i386__)
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    // __get_cpuid answers false for a leaf the processor does not have.
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx)) {
        if (edx & (1u << 23)) features |= kCpuMmx;
        if (edx & (1u << 25)) features |= kCpuSse;
        if (edx & (1u << 26)) features |= kCpuSse2;
    }
    if (__get_cpuid(0x80000001, &eax, &ebx, &ecx, &edx)) {
        if (edx & (1u << 22)) features |= kCpuMmxExtensions;
        if (edx & (1u << 31)) features |= kCpu3DNow;
        if (edx & (1u << 30)) features |= kCpu3DNowExtensions;
    }
#endif
    return features;
}

void* LibraryMemcpy(void* dest, const void* source, size_t count) { return std::memcpy(dest, source, count); }

}  // namespace

constinit MemoryCopyFunction MemoryCopyHook = LibraryMemcpy;

uint32_t QueryCpuFeatures() {
    static const uint32_t features = ReadFeatureWord();
    return features;
}

int HasMMX() { return (QueryCpuFeatures() & kCpuMmx) ? 1 : 0; }

MemoryCopyFunction SelectMemoryCopy(uint32_t features) {
    return (features & kCpu3DNowExtensions) ? MmxMemcpy : LibraryMemcpy;
}

namespace {

// Stores the feature word and picks the block copy before main runs.
bool DetectCpu() {
    MemoryCopyHook = SelectMemoryCopy(QueryCpuFeatures());
    return true;
}

const bool cpuDetected = DetectCpu();

}  // namespace

}  // namespace zentac

#include "engine/cpu_features.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace zentac {

namespace {

uint32_t DetectCpu() {
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

}  // namespace

uint32_t QueryCpuFeatures() {
    static const uint32_t features = DetectCpu();
    return features;
}

int HasMMX() { return (QueryCpuFeatures() & kCpuMmx) ? 1 : 0; }

}  // namespace zentac

#include "engine/cpu/cpu_features.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/cpu/memory_copy.h"

TEST(CpuFeatures, ReportTheBaselineOfThisProcessor) {
    uint32_t features = zentac::QueryCpuFeatures();
    EXPECT_EQ(features, zentac::QueryCpuFeatures());
    EXPECT_EQ(features & ~0x3Fu, 0u);
#if defined(__x86_64__)
    // Every 64-bit x86 processor has MMX, SSE and SSE2.
    EXPECT_EQ(features & (zentac::kCpuMmx | zentac::kCpuSse | zentac::kCpuSse2),
              zentac::kCpuMmx | zentac::kCpuSse | zentac::kCpuSse2);
    EXPECT_EQ(zentac::HasMMX(), 1);
#endif
}

TEST(CpuFeatures, MemoryCopyHookFollowsExtended3DNow) {
    EXPECT_EQ(zentac::SelectMemoryCopy(zentac::kCpu3DNowExtensions), zentac::MmxMemcpy);
    EXPECT_NE(zentac::SelectMemoryCopy(0x3F & ~zentac::kCpu3DNowExtensions), zentac::MmxMemcpy);
    EXPECT_EQ(zentac::MemoryCopyHook, zentac::SelectMemoryCopy(zentac::QueryCpuFeatures()));
    char copied[6] = {};
    EXPECT_EQ(zentac::MemoryCopyHook(copied, "bytes", 6), copied);
    EXPECT_STREQ(copied, "bytes");
}

// Every path of the block copy: short copies, the aligning lead, blocks
// through the cache, streamed blocks, cache-warmed chunks with a streamed
// rest, and the tail, at assorted alignments of both ends.
TEST(CpuFeatures, MmxMemcpyCopiesLikeMemcpy) {
    const size_t sizes[] = {
        0, 1, 3, 4, 7, 63, 64, 65, 200, 4099, 0x8000, 0x8000 + 13, 0x10000, 0x10000 + 1,
        1024 * 64 + 37, 3151 * 64 + 5, 3152 * 64, 3152 * 64 + 63, 128 * 64 * 30 + 64 * 77 + 9,
    };
    constexpr size_t kGuard = 32;
    std::vector<uint8_t> source(sizes[std::size(sizes) - 1] + 2 * kGuard);
    uint32_t state = 7;
    for (uint8_t& byte : source) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<uint8_t>(state >> 24);
    }
    for (size_t size : sizes) {
        for (size_t destOffset : {0, 1, 8, 13}) {
            for (size_t sourceOffset : {0, 3, 16}) {
                std::vector<uint8_t> expected(size + 2 * kGuard, 0xA5);
                std::vector<uint8_t> copied = expected;
                std::memcpy(expected.data() + destOffset, source.data() + sourceOffset, size);
                void* result = zentac::MmxMemcpy(copied.data() + destOffset, source.data() + sourceOffset, size);
                EXPECT_EQ(result, copied.data() + destOffset);
                EXPECT_EQ(copied, expected) << size << " bytes, to +" << destOffset << " from +" << sourceOffset;
            }
        }
    }
}

#include "engine/cpu_features.h"

#include <gtest/gtest.h>

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

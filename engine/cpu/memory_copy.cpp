#include "engine/cpu/memory_copy.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zentac {

namespace {

constexpr size_t kBlockBytes = 64;
// Streaming stores need an aligned destination.
constexpr size_t kAlignment = 16;
// Copies in this range keep the destination as it comes.
constexpr size_t kUnalignedAbove = 0x8000;
constexpr size_t kUnalignedUpTo = 0x10000;
constexpr size_t kStreamFromBlocks = 1024;
constexpr size_t kWarmChunksFromBlocks = 3152;
constexpr size_t kChunkBlocks = 128;
constexpr uintptr_t kPrefetchAhead = 0x238;

// 32-bit words, then the bytes left over.
void CopyWordsThenBytes(uint8_t* to, const uint8_t* from, size_t count) {
    size_t words = count / 4;
    for (size_t i = 0; i < words; ++i, to += 4, from += 4) std::memcpy(to, from, 4);
    for (size_t i = 0; i < count % 4; ++i) to[i] = from[i];
}

#if defined(__SSE2__)

// The address is only a hint: prefetching past the source never faults.
void PrefetchAhead(const uint8_t* from) {
    _mm_prefetch(reinterpret_cast<const char*>(reinterpret_cast<uintptr_t>(from) + kPrefetchAhead), _MM_HINT_NTA);
}

void CopyBlock(uint8_t* to, const uint8_t* from) {
    PrefetchAhead(from);
    for (size_t at = 0; at < kBlockBytes; at += 16) {
        __m128i part = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + at));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + at), part);
    }
}

// Copies of exactly 64 KB keep their destination unaligned and store
// through the cache.
void StreamBlock(uint8_t* to, const uint8_t* from) {
    if (reinterpret_cast<uintptr_t>(to) % kAlignment != 0) {
        CopyBlock(to, from);
        return;
    }
    PrefetchAhead(from);
    for (size_t at = 0; at < kBlockBytes; at += 16) {
        __m128i part = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + at));
        _mm_stream_si128(reinterpret_cast<__m128i*>(to + at), part);
    }
}

void FenceStores() { _mm_sfence(); }

#else

void CopyBlock(uint8_t* to, const uint8_t* from) { std::memcpy(to, from, kBlockBytes); }
void StreamBlock(uint8_t* to, const uint8_t* from) { std::memcpy(to, from, kBlockBytes); }
void FenceStores() {}

#endif

// Reads the chunk back to front, a byte per block, so that it sits in the
// cache before it is streamed out.
void WarmChunk(const uint8_t* from) {
    const volatile uint8_t* chunk = from;
    for (size_t block = kChunkBlocks; block-- > 0;) static_cast<void>(chunk[block * kBlockBytes]);
}

}  // namespace

void* MmxMemcpy(void* dest, const void* source, size_t count) {
    auto* to = static_cast<uint8_t*>(dest);
    const auto* from = static_cast<const uint8_t*>(source);
    if (count < kBlockBytes) {
        CopyWordsThenBytes(to, from, count);
        return dest;
    }
    if (count <= kUnalignedAbove || count > kUnalignedUpTo) {
        size_t lead = (kAlignment - reinterpret_cast<uintptr_t>(to) % kAlignment) % kAlignment;
        CopyWordsThenBytes(to, from, lead);
        to += lead;
        from += lead;
        count -= lead;
    }
    size_t blocks = count / kBlockBytes;
    if (blocks < kStreamFromBlocks) {
        for (; blocks > 0; --blocks, to += kBlockBytes, from += kBlockBytes) CopyBlock(to, from);
    } else {
        if (blocks >= kWarmChunksFromBlocks) {
            for (; blocks >= kChunkBlocks; blocks -= kChunkBlocks) {
                WarmChunk(from);
                for (size_t i = 0; i < kChunkBlocks; ++i, to += kBlockBytes, from += kBlockBytes) {
                    StreamBlock(to, from);
                }
            }
        }
        for (; blocks > 0; --blocks, to += kBlockBytes, from += kBlockBytes) StreamBlock(to, from);
    }
    CopyWordsThenBytes(to, from, count % kBlockBytes);
    FenceStores();
    return dest;
}

}  // namespace zentac

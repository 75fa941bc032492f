#pragma once

#include <cstdint>
#include <memory>

#include "engine/streams/stream.h"

namespace zentac {

// A growable block of memory. It either owns its block or reads bytes lent
// to it; the first write to lent bytes copies them, so the lender's bytes
// never change, move or get freed.
class MemoryStream : public Stream {
public:
    struct Borrow {};

    // Takes over a block allocated with new uint8_t[].
    MemoryStream(uint8_t* data, int32_t size);
    // Reads bytes that stay owned by the caller and must outlive the stream.
    MemoryStream(const uint8_t* data, int32_t size, Borrow);
    // Reads the whole file (through FileStream, so archive paths work).
    explicit MemoryStream(const String& fileName);

    int32_t Seek(int32_t offset, int32_t origin) override;
    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override;
    int32_t Tell() override { return position_; }
    int32_t Size() override { return size_; }
    bool IsOpen() override { return true; }
    bool IsEof() override { return position_ >= size_; }

    const uint8_t* Data() const { return bytes_; }
    int32_t Capacity() const { return capacity_; }

private:
    void Grow(int32_t needed);

    int32_t position_ = 0;
    int32_t size_ = 0;
    int32_t capacity_ = 0;
    std::unique_ptr<uint8_t[]> block_;  // null while reading lent bytes
    const uint8_t* bytes_ = nullptr;    // what reads see: block_ or lent bytes
};

}  // namespace zentac

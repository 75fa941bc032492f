#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/streams/stream.h"

namespace zentac {

inline uint16_t LoadLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t LoadLe32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
inline void StoreLe16(uint8_t* p, uint32_t value) {
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
}
inline void StoreLe32(uint8_t* p, uint32_t value) {
    StoreLe16(p, value);
    StoreLe16(p + 2, value >> 16);
}
inline uint16_t LoadBe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }
inline uint32_t LoadBe32(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | uint32_t{p[3]};
}

// A cursor over bytes from a file that never reads past their end. A read
// that does not fit gives 0 and marks the reader failed for good, so that
// a decoder can read a whole header and check once.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    explicit ByteReader(const std::vector<uint8_t>& bytes) : ByteReader(bytes.data(), bytes.size()) {}

    bool Ok() const { return ok_; }
    size_t Position() const { return position_; }
    size_t Size() const { return size_; }
    size_t Remaining() const { return size_ - position_; }

    // The next count bytes, moving past them; null when fewer are left.
    const uint8_t* Take(size_t count) {
        if (!ok_ || count > Remaining()) {
            ok_ = false;
            return nullptr;
        }
        const uint8_t* bytes = data_ + position_;
        position_ += count;
        return bytes;
    }
    bool Skip(size_t count) { return Take(count) != nullptr; }
    bool Seek(size_t position) {
        if (position > size_) ok_ = false;
        if (ok_) position_ = position;
        return ok_;
    }

    uint8_t U8() {
        const uint8_t* p = Take(1);
        return p ? p[0] : 0;
    }
    uint16_t Le16() {
        const uint8_t* p = Take(2);
        return p ? LoadLe16(p) : 0;
    }
    uint32_t Le32() {
        const uint8_t* p = Take(4);
        return p ? LoadLe32(p) : 0;
    }
    uint16_t Be16() {
        const uint8_t* p = Take(2);
        return p ? LoadBe16(p) : 0;
    }
    uint32_t Be32() {
        const uint8_t* p = Take(4);
        return p ? LoadBe32(p) : 0;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
    bool ok_ = true;
};

// A file that an encoder builds in memory, little-endian, and then writes
// in one piece.
class ByteWriter {
public:
    void U8(uint32_t value) { bytes_.push_back(static_cast<uint8_t>(value)); }
    void Le16(uint32_t value) {
        U8(value);
        U8(value >> 8);
    }
    void Le32(uint32_t value) {
        Le16(value);
        Le16(value >> 16);
    }
    void Zeros(size_t count) { bytes_.insert(bytes_.end(), count, 0); }
    void Append(const uint8_t* bytes, size_t count) { bytes_.insert(bytes_.end(), bytes, bytes + count); }

    size_t Size() const { return bytes_.size(); }
    // True when the stream took every byte.
    bool WriteTo(Stream& stream) const {
        if (bytes_.size() > INT32_MAX) return false;
        int32_t count = static_cast<int32_t>(bytes_.size());
        return stream.Write(bytes_.data(), count) == count;
    }

private:
    std::vector<uint8_t> bytes_;
};

}  // namespace zentac

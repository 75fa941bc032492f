#include "engine/files/memory_stream.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "engine/files/file_stream.h"

namespace zentac {

MemoryStream::MemoryStream(uint8_t* data, int32_t size)
    : size_(size), capacity_(size), block_(data), bytes_(data) {}

MemoryStream::MemoryStream(const uint8_t* data, int32_t size, Borrow)
    : size_(size), capacity_(size), bytes_(data) {}

MemoryStream::MemoryStream(const String& fileName) {
    FileStream file(fileName, kModeRead);
    capacity_ = file.Size();
    block_.reset(new uint8_t[capacity_]);
    bytes_ = block_.get();
    size_ = std::max(file.Read(block_.get(), capacity_), 0);
}

int32_t MemoryStream::Seek(int32_t offset, int32_t origin) {
    position_ = SeekTarget(position_, size_, offset, origin);
    return position_;
}

int32_t MemoryStream::Read(void* buffer, int32_t count) {
    int32_t available = position_ < size_ ? size_ - position_ : 0;
    count = std::min(count, available);
    if (count < 1) return 0;
    std::memcpy(buffer, bytes_ + position_, count);
    position_ += count;
    return count;
}

int32_t MemoryStream::Write(const void* buffer, int32_t count) {
    if (count < 1 || count > std::numeric_limits<int32_t>::max() - position_) return 0;
    int32_t end = position_ + count;
    if (!block_ || end > capacity_) Grow(end);
    // A write behind the end leaves no stale bytes in the gap.
    if (position_ > size_) std::memset(block_.get() + size_, 0, position_ - size_);
    std::memcpy(block_.get() + position_, buffer, count);
    position_ = end;
    size_ = std::max(size_, end);
    return count;
}

void MemoryStream::Grow(int32_t needed) {
    // A quarter more than before plus the request, so small writes rarely
    // reallocate.
    double wanted = capacity_ * 1.25 + (needed - position_);
    int32_t grown = wanted >= std::numeric_limits<int32_t>::max()
                        ? std::numeric_limits<int32_t>::max()
                        : static_cast<int32_t>(wanted);
    grown = std::max(grown, needed);
    std::unique_ptr<uint8_t[]> fresh(new uint8_t[grown]);
    if (size_ > 0) std::memcpy(fresh.get(), bytes_, size_);
    block_ = std::move(fresh);
    bytes_ = block_.get();
    capacity_ = grown;
}

}  // namespace zentac

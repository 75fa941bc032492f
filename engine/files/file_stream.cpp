#include "engine/files/file_stream.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "engine/core/exception.h"
#include "engine/files/file_codec.h"

namespace zentac {

FileStream::FileStream(const String& name, int32_t mode) : readMode_(mode == kModeRead) {
    SetName(name);
    Stream* container = nullptr;
    String path(name);
    FileCodec codec = ResolveFileCodec(container, path);
    inner_.reset(codec.Open(container, path, mode, kArchivePassword));
    if (!inner_) ZENTAC_THROW(String("cannot access file: ") + name);
    size_ = inner_->Size();
}

int32_t FileStream::Seek(int32_t offset, int32_t origin) {
    position_ = SeekTarget(position_, size_, offset, origin);
    if (!readMode_) inner_->Seek(position_, kSeekSet);
    return position_;
}

int32_t FileStream::Read(void* buffer, int32_t count) {
    int32_t available = position_ < size_ ? size_ - position_ : 0;
    count = std::min(count, available);
    if (count < 1) return 0;
    if (count <= kBlockSize) return ReadThroughBlocks(static_cast<uint8_t*>(buffer), count);

    inner_->Seek(position_, kSeekSet);
    int32_t got = std::max(inner_->Read(buffer, count), 0);
    cachedBlock_ = -1;
    position_ += got;
    return got;
}

int32_t FileStream::ReadThroughBlocks(uint8_t* buffer, int32_t count) {
    int32_t done = 0;
    while (done < count) {
        int32_t block = position_ / kBlockSize;
        if (block != cachedBlock_) LoadBlock(block);
        int32_t offset = position_ % kBlockSize;
        int32_t take = std::min(count - done, blockFill_ - offset);
        // The file was shorter than its size said: hand out only real bytes.
        if (take < 1) break;
        std::memcpy(buffer + done, block_ + offset, take);
        done += take;
        position_ += take;
    }
    return done;
}

void FileStream::LoadBlock(int32_t block) {
    inner_->Seek(block * kBlockSize, kSeekSet);
    blockFill_ = std::max(inner_->Read(block_, kBlockSize), 0);
    cachedBlock_ = block;
}

int32_t FileStream::Write(const void* buffer, int32_t count) {
    if (count < 1 || count > std::numeric_limits<int32_t>::max() - position_) return 0;
    // Block reads move the inner stream; the write belongs at our position.
    inner_->Seek(position_, kSeekSet);
    int32_t written = std::max(inner_->Write(buffer, count), 0);
    position_ += written;
    // Later reads must see what was written, not a stale block or old size.
    size_ = std::max(size_, position_);
    cachedBlock_ = -1;
    return written;
}

}  // namespace zentac

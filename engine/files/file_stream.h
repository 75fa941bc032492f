// engine/files: streams on paths (disk, folders, ZIP archives) and whole files in memory; uses streams, core.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/streams/stream.h"

namespace zentac {

// A buffered stream over a file on disk or inside archives (the path may run
// through them, see ResolveFileCodec). Small reads are served from one
// cached 4096-byte block; larger ones go straight to the file.
class FileStream : public Stream {
public:
    static constexpr int32_t kBlockSize = 4096;

    // Throws "cannot access file: <name>" when the file cannot be opened.
    FileStream(const String& name, int32_t mode);

    int32_t Seek(int32_t offset, int32_t origin) override;
    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override;
    int32_t Tell() override { return position_; }
    int32_t Size() override { return size_; }
    bool IsOpen() override { return inner_->IsOpen(); }
    bool IsEof() override { return position_ >= size_; }

    // Number of the block held, -1 when none.
    int32_t CachedBlock() const { return cachedBlock_; }

private:
    int32_t ReadThroughBlocks(uint8_t* buffer, int32_t count);
    void LoadBlock(int32_t block);

    std::unique_ptr<Stream> inner_;
    int32_t size_ = 0;
    bool readMode_ = false;
    uint8_t block_[kBlockSize];
    int32_t blockFill_ = 0;  // bytes the inner stream really delivered
    int32_t position_ = 0;
    int32_t cachedBlock_ = -1;
};

}  // namespace zentac

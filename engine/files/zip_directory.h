#pragma once

#include <cstdint>
#include <vector>

#include "engine/streams/stream.h"
#include "engine/core/string.h"

namespace zentac {

// One record of a ZIP archive's central directory: what it takes to find,
// check and unpack the member.
struct ZipEntry {
    static constexpr uint16_t kEncrypted = 0x0001;
    static constexpr uint16_t kSizesBehindData = 0x0008;  // written with a data descriptor

    uint16_t versionMadeBy = 0;
    uint16_t flags = 0;
    uint16_t method = 0;
    uint16_t modificationTime = 0;
    uint32_t crc = 0;
    uint32_t compressedSize = 0;
    uint32_t uncompressedSize = 0;
    uint32_t localHeaderOffset = 0;
    String name;  // as stored: any separators, any case
};

// The central directory of a single-disk ZIP archive, read anew from the
// archive's stream. Invalid when the stream holds no end record or the
// archive spans disks; throws "ZIP decoder, incorrect DirFileHeader." when
// the directory does not fit the archive or a record is damaged.
class ZipDirectory {
public:
    explicit ZipDirectory(Stream& archive);

    bool IsValid() const { return valid_; }
    // In directory order.
    const std::vector<ZipEntry>& Entries() const { return entries_; }

private:
    // Offset of the end record, -1 when there is none.
    static int32_t FindEndRecord(Stream& archive, int32_t archiveSize);
    void ReadEntries(Stream& archive, uint32_t directoryOffset, int32_t directoryEnd, uint16_t count);

    bool valid_ = false;
    std::vector<ZipEntry> entries_;
};

}  // namespace zentac

#include "engine/files/zip_directory.h"

#include <algorithm>
#include <cstring>

#include "engine/streams/byte_io.h"
#include "engine/core/exception.h"
#include "engine/streams/stream_read_at.h"

namespace zentac {

namespace {

constexpr uint32_t kEndSignature = 0x06054B50;
constexpr uint32_t kHeaderSignature = 0x02014B50;
constexpr int32_t kEndRecordSize = 22;
constexpr int32_t kHeaderSize = 46;
// The archive comment behind the end record is at most this long, so the
// record lies within the archive's last 22 + 65535 bytes.
constexpr int32_t kLongestComment = 0xFFFF;

[[noreturn]] void ThrowBadHeader() { ZENTAC_THROW("ZIP decoder, incorrect DirFileHeader."); }

}  // namespace

ZipDirectory::ZipDirectory(Stream& archive) {
    int32_t archiveSize = archive.Size();
    int32_t endOffset = FindEndRecord(archive, archiveSize);
    if (endOffset < 0) return;
    uint8_t end[kEndRecordSize];
    if (!ReadAt(archive, endOffset, end, kEndRecordSize) || LoadLe32(end) != kEndSignature) {
        ZENTAC_THROW("ZIP decoder, incorrect DirEndRecord.");
    }
    uint16_t disk = LoadLe16(end + 4);
    uint16_t directoryDisk = LoadLe16(end + 6);
    uint16_t entriesOnDisk = LoadLe16(end + 8);
    uint16_t entriesInTotal = LoadLe16(end + 10);
    // Archives spread over several disks are not read.
    if (disk != 0 || directoryDisk != 0 || entriesOnDisk != entriesInTotal) return;
    ReadEntries(archive, LoadLe32(end + 16), endOffset, entriesInTotal);
    valid_ = true;
}

int32_t ZipDirectory::FindEndRecord(Stream& archive, int32_t archiveSize) {
    if (archiveSize < kEndRecordSize) return -1;
    int32_t tailLength = std::min(archiveSize, kEndRecordSize + kLongestComment);
    int32_t tailStart = archiveSize - tailLength;
    std::vector<uint8_t> tail(tailLength);
    if (!ReadAt(archive, tailStart, tail.data(), tailLength)) return -1;
    // The last signature wins: a comment may hold anything, but the record
    // itself comes after any stored data.
    for (int32_t at = tailLength - kEndRecordSize; at >= 0; --at) {
        if (LoadLe32(tail.data() + at) == kEndSignature) return tailStart + at;
    }
    return -1;
}

void ZipDirectory::ReadEntries(Stream& archive, uint32_t directoryOffset, int32_t directoryEnd, uint16_t count) {
    // Everything between the directory's start and the end record; every
    // record must lie inside it.
    if (directoryOffset > static_cast<uint32_t>(directoryEnd)) ThrowBadHeader();
    int32_t directoryLength = directoryEnd - static_cast<int32_t>(directoryOffset);
    if (int64_t{count} * kHeaderSize > directoryLength) ThrowBadHeader();
    std::vector<uint8_t> directory(directoryLength);
    if (!ReadAt(archive, static_cast<int32_t>(directoryOffset), directory.data(), directoryLength)) ThrowBadHeader();

    entries_.reserve(count);
    size_t at = 0;
    for (uint16_t i = 0; i < count; ++i) {
        size_t left = directory.size() - at;
        const uint8_t* header = directory.data() + at;
        if (left < kHeaderSize || LoadLe32(header) != kHeaderSignature) ThrowBadHeader();
        uint16_t nameLength = LoadLe16(header + 28);
        size_t recordSize = size_t{kHeaderSize} + nameLength + LoadLe16(header + 30) + LoadLe16(header + 32);
        if (recordSize > left) ThrowBadHeader();

        ZipEntry& entry = entries_.emplace_back();
        entry.versionMadeBy = LoadLe16(header + 4);
        entry.flags = LoadLe16(header + 8);
        entry.method = LoadLe16(header + 10);
        entry.modificationTime = LoadLe16(header + 12);
        entry.crc = LoadLe32(header + 16);
        entry.compressedSize = LoadLe32(header + 20);
        entry.uncompressedSize = LoadLe32(header + 24);
        entry.localHeaderOffset = LoadLe32(header + 42);
        entry.name.Resize(nameLength + 1, false);
        std::memcpy(entry.name.Data(), header + kHeaderSize, nameLength);
        entry.name.Data()[nameLength] = '\0';
        at += recordSize;
    }
}

}  // namespace zentac

#include "engine/files/zip_member.h"

#include <zlib.h>

#include <cstring>
#include <limits>

#include "engine/streams/byte_io.h"
#include "engine/core/exception.h"
#include "engine/streams/stream_read_at.h"
#include "engine/files/zip_cipher.h"

namespace zentac {

namespace {

constexpr uint32_t kLocalSignature = 0x04034B50;
constexpr int32_t kLocalHeaderSize = 30;
constexpr int32_t kEncryptionHeaderSize = 12;
constexpr uint16_t kStored = 0;
constexpr uint16_t kDeflated = 8;
// Deflate never packs more than 1032 bytes into one; a member that claims
// more is damaged or a bomb, and its claim is not allocated.
constexpr int64_t kDeflateLargestRatio = 1032;
constexpr int64_t kDeflateSmallSlack = 4096;

// Where the member's data start; -1 when the local header gives another
// compressed size than the directory. Writers that stream their output put
// zero sizes here and the real ones behind the data, which the directory
// repeats.
int64_t DataOffset(Stream& archive, const ZipEntry& entry, int32_t archiveSize) {
    uint8_t header[kLocalHeaderSize];
    if (int64_t{entry.localHeaderOffset} > int64_t{archiveSize} - kLocalHeaderSize ||
        !ReadAt(archive, static_cast<int32_t>(entry.localHeaderOffset), header, kLocalHeaderSize) ||
        LoadLe32(header) != kLocalSignature) {
        ZENTAC_THROW("ZIP decoder, incorrect LocalFileHeader.");
    }
    uint32_t compressedSize = LoadLe32(header + 18);
    bool sizesBehindData = (LoadLe16(header + 6) & ZipEntry::kSizesBehindData) && compressedSize == 0;
    if (compressedSize != entry.compressedSize && !sizesBehindData) return -1;
    return int64_t{entry.localHeaderOffset} + kLocalHeaderSize + LoadLe16(header + 26) + LoadLe16(header + 28);
}

bool HoldsItsSize(const ZipEntry& entry, int64_t dataLength) {
    int64_t size = entry.uncompressedSize;
    if (size == 0 || size > std::numeric_limits<int32_t>::max()) return false;
    if (entry.method == kStored) return size == dataLength;
    if (entry.method == kDeflated) return size <= dataLength * kDeflateLargestRatio + kDeflateSmallSlack;
    return false;
}

// The last bytes of the decrypted encryption header repeat part of the
// CRC-32 (or, for members with sizes behind the data, of the time), so a
// wrong password shows before the data are unpacked.
bool PasswordChecks(const ZipEntry& entry, const uint8_t* header) {
    uint8_t check = header[kEncryptionHeaderSize - 1];
    if (entry.flags & ZipEntry::kSizesBehindData) return check == entry.modificationTime >> 8;
    if ((entry.versionMadeBy & 0xFF) >= 20) return check == entry.crc >> 24;
    return LoadLe16(header + kEncryptionHeaderSize - 2) == entry.crc >> 16;
}

const char* InflateFailure(int result) {
    switch (result) {
        case Z_MEM_ERROR: return "ZIP file decompression failed (memory error).";
        case Z_BUF_ERROR: return "ZIP file decompression failed (buffer error).";
        case Z_DATA_ERROR: return "ZIP file decompression failed (data error).";
        default: return "ZIP file decompression failed (unknown error).";
    }
}

}  // namespace

ZipMember ReadZipMember(Stream& archive, const ZipEntry& entry, const char* password) {
    int32_t archiveSize = archive.Size();
    int64_t dataOffset = DataOffset(archive, entry, archiveSize);
    bool encrypted = entry.flags & ZipEntry::kEncrypted;
    // The compressed size counts the encryption header.
    int64_t dataLength = int64_t{entry.compressedSize} - (encrypted ? kEncryptionHeaderSize : 0);
    if (dataOffset < 0 || dataLength < 0 || dataOffset + entry.compressedSize > archiveSize ||
        !HoldsItsSize(entry, dataLength)) {
        return {};
    }
    if (encrypted && (!password || !*password)) return {};

    int32_t packedLength = static_cast<int32_t>(entry.compressedSize);
    std::unique_ptr<uint8_t[]> packed(new uint8_t[packedLength]);
    if (!ReadAt(archive, static_cast<int32_t>(dataOffset), packed.get(), packedLength)) return {};
    uint8_t* data = packed.get();
    if (encrypted) {
        ZipCipher cipher(password);
        cipher.Decrypt(data, kEncryptionHeaderSize);
        if (!PasswordChecks(entry, data)) return {};
        data += kEncryptionHeaderSize;
        cipher.Decrypt(data, static_cast<int32_t>(dataLength));
    }

    ZipMember member;
    member.size = static_cast<int32_t>(entry.uncompressedSize);
    if (entry.method == kStored) {
        if (data != packed.get()) std::memmove(packed.get(), data, member.size);
        member.bytes = std::move(packed);
    } else {
        member.bytes.reset(new uint8_t[member.size]);
        if (InflateZipEntry(data, member.bytes.get(), static_cast<int32_t>(dataLength), member.size) != member.size) {
            return {};
        }
    }
    if (crc32(0, member.bytes.get(), static_cast<uInt>(member.size)) != entry.crc) return {};
    return member;
}

int32_t InflateZipEntry(const uint8_t* source, uint8_t* destination, int32_t sourceLength,
                        int32_t destinationLength) {
    z_stream stream{};
    stream.next_in = const_cast<Bytef*>(source);
    stream.avail_in = static_cast<uInt>(sourceLength);
    stream.next_out = destination;
    stream.avail_out = static_cast<uInt>(destinationLength);
    // Negative window bits: ZIP members are raw deflate data.
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) ZENTAC_THROW("ZIP file decompression (inflateInit2) failed.");
    int result;
    do {
        result = inflate(&stream, Z_FINISH);
    } while (result == Z_OK);
    int32_t produced = static_cast<int32_t>(stream.total_out);
    int ended = inflateEnd(&stream);
    if (result != Z_STREAM_END) ZENTAC_THROW(InflateFailure(result));
    if (ended != Z_OK) ZENTAC_THROW("ZIP file decompression (inflateEnd) failed.");
    return produced;
}

}  // namespace zentac

#pragma once

#include <cstdint>
#include <memory>

#include "engine/streams/stream.h"
#include "engine/files/zip_directory.h"

namespace zentac {

// A member's unpacked bytes, allocated with new uint8_t[] so that a
// MemoryStream can take them over.
struct ZipMember {
    std::unique_ptr<uint8_t[]> bytes;  // null when the member cannot be read
    int32_t size = 0;
};

// Reads, decrypts, unpacks and checks one member. No bytes for an empty
// member, a local header that disagrees with the directory, sizes that the
// archive or the method cannot hold, an unknown method, a missing or wrong
// password, or a CRC-32 mismatch. Throws "ZIP decoder, incorrect
// LocalFileHeader." when the local header is damaged, and the inflate
// messages for damaged deflate data.
ZipMember ReadZipMember(Stream& archive, const ZipEntry& entry, const char* password);

// Raw-inflates source into destination; returns the bytes produced. Throws
// when zlib fails, also when the data would overflow the destination.
int32_t InflateZipEntry(const uint8_t* source, uint8_t* destination, int32_t sourceLength,
                        int32_t destinationLength);

}  // namespace zentac

#pragma once

#include <cstdint>

#include "engine/files/file_codec.h"
#include "engine/streams/stream.h"

namespace zentac {

// The ZIP archive codec ("zip", "pk3", "dat"): reads stored and deflated
// members, traditionally encrypted ones with a password, and checks their
// CRC-32. Archives are never written. Each operation reads the central
// directory anew and releases the container it is handed.
const FileCodec& ZipCodecInfo();

// The member named path (ignoring case, separators as stored) as a new
// MemoryStream; null for a mode other than read, a stream that is no
// single-disk archive, or a member that is missing or cannot be read (see
// ReadZipMember). Damaged records and deflate data throw.
Stream* OpenZipEntry(Stream* container, const String& path, int32_t mode, const char* password);
// The entries of the folder part of path whose names start with the rest
// (ignoring case), in directory order; each folder once, whether or not it
// has an entry of its own, and archives end in '/' like folders.
StringArray ListZipDirectory(Stream* container, const String& path);
// Whether some entry lies inside the folder path (ignoring case).
bool IsZipDirectory(Stream* container, const String& path);

}  // namespace zentac

#pragma once

#include <cstdint>
#include <vector>

#include "engine/streams/stream.h"
#include "engine/core/string.h"

namespace zentac {

using StringArray = std::vector<String>;

// Descriptor of one file codec: the disk folder or an archive format.
// Archive codecs take over one reference to the container (the archive's
// stream; null for the disk) and release it before they return, whatever
// the outcome.
struct FileCodec {
    int32_t count;        // number of names
    const String* names;  // extensions handled, without the dot
    // A new stream for mode 1 read, 2 write, 3 read and write; null when the
    // file cannot be opened.
    Stream* (*Open)(Stream* container, const String& path, int32_t mode, const char* password);
    // Names of the entries of a folder; folders and archives end in '/'.
    StringArray (*List)(Stream* container, const String& path);
    bool (*IsDirectory)(Stream* container, const String& path);
};

// Encrypted archive members are opened with this password; the show sets none.
inline constexpr char kArchivePassword[] = "";

// The archive codecs, built on first use.
const std::vector<FileCodec>& FileCodecs();
void RegisterFileCodec(const FileCodec& codec);

// The first archive codec that handles the extension (case-insensitive).
const FileCodec* FindFileCodec(const String& extension);

// The archive codec of the first archive on path, with split set to the
// index of the separator behind the archive's name; when path runs through
// no archive, containerCodec with split -1. An archive extension counts
// only when a separator follows it and containerCodec does not call the
// text before that separator a folder.
FileCodec FindArchiveInPath(Stream* container, const FileCodec& containerCodec, const String& path,
                            int32_t& split);

// Opens the archives on path level by level. Afterwards container is the
// innermost archive's stream (null for the disk) and path the path inside
// it; the result is the codec whose Open takes both. Throws "cannot access
// file: <archive path>" when an archive on the way cannot be opened.
FileCodec ResolveFileCodec(Stream*& container, String& path);

}  // namespace zentac

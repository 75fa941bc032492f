#pragma once

#include <cstdint>
#include <cstdio>

#include "engine/files/file_codec.h"
#include "engine/streams/stream.h"

namespace zentac {

// The plain disk folder, the codec every path starts in. Its container is
// always null; '\' is taken as '/'.
const FileCodec& FolderCodecInfo();

// Null for a bad mode, a file that does not open, a directory, or a file of
// 2 GiB or more (sizes are 32-bit). The password is ignored.
Stream* OpenFolderFile(Stream* container, const String& path, int32_t mode, const char* password);
// Entries of the folder part of path whose names start with the rest
// (ignoring case), sorted; folders and archives end in '/'.
StringArray ListFolder(Stream* container, const String& path);
bool IsFolder(Stream* container, const String& path);

// A stream over a C library file, which it closes.
class FolderFileStream : public Stream {
public:
    explicit FolderFileStream(std::FILE* file) : file_(file) {}
    ~FolderFileStream() override;

    int32_t Seek(int32_t offset, int32_t origin) override;
    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override;
    int32_t Tell() override;
    int32_t Size() override;
    bool IsOpen() override { return file_ != nullptr; }
    bool IsEof() override { return Tell() >= Size(); }

private:
    std::FILE* file_;
};

}  // namespace zentac

#include "engine/files/folder_codec.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <limits>

namespace zentac {

namespace {

constexpr off_t kLargestSize = std::numeric_limits<int32_t>::max();

String PosixPath(const String& path) {
    String posix(path);
    std::replace(posix.Data(), posix.Data() + posix.Length(), '\\', '/');
    return posix;
}

int32_t ClampedPosition(off_t position) {
    return static_cast<int32_t>(std::clamp<off_t>(position, -1, kLargestSize));
}

bool IsDirectoryAt(const String& path) {
    struct stat status;
    return stat(path.Data(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

const FileCodec& FolderCodecInfo() {
    static const String names[] = {String("")};
    static const FileCodec codec = {1, names, OpenFolderFile, ListFolder, IsFolder};
    return codec;
}

Stream* OpenFolderFile(Stream*, const String& path, int32_t mode, const char*) {
    const char* cMode = mode == kModeRead        ? "rb"
                        : mode == kModeWrite     ? "wb"
                        : mode == kModeReadWrite ? "r+b"
                                                 : nullptr;
    if (!cMode) return nullptr;
    std::FILE* file = std::fopen(PosixPath(path).Data(), cMode);
    if (!file) return nullptr;
    struct stat status;
    if (fstat(fileno(file), &status) != 0 || S_ISDIR(status.st_mode) || status.st_size > kLargestSize) {
        std::fclose(file);
        return nullptr;
    }
    return new FolderFileStream(file);
}

StringArray ListFolder(Stream*, const String& path) {
    String posix = PosixPath(path);
    const char* text = posix.Data();
    const char* slash = std::strrchr(text, '/');
    String folder = slash ? posix.Mid(0, static_cast<int>(slash - text) + 1) : String("./");
    const char* prefix = slash ? slash + 1 : text;
    size_t prefixLength = std::strlen(prefix);

    StringArray names;
    DIR* directory = opendir(folder.Data());
    if (!directory) return names;
    while (const dirent* entry = readdir(directory)) {
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
        if (strncasecmp(name, prefix, prefixLength) != 0) continue;
        String listed(name);
        // Archives list like folders, since paths run through them.
        if (IsDirectoryAt(folder + listed) || FindFileCodec(GetExtension(listed))) listed += '/';
        names.push_back(listed);
    }
    closedir(directory);
    std::sort(names.begin(), names.end(), [](const String& a, const String& b) {
        return std::strcmp(a.Data(), b.Data()) < 0;
    });
    return names;
}

bool IsFolder(Stream*, const String& path) { return IsDirectoryAt(PosixPath(path)); }

FolderFileStream::~FolderFileStream() {
    if (file_) std::fclose(file_);
}

int32_t FolderFileStream::Seek(int32_t offset, int32_t origin) {
    switch (origin) {
        case kSeekSet: fseeko(file_, offset, SEEK_SET); break;
        case kSeekCurrent: fseeko(file_, offset, SEEK_CUR); break;
        // A positive offset lies before the end, as for every stream.
        case kSeekEnd: fseeko(file_, -static_cast<off_t>(offset), SEEK_END); break;
        default: break;
    }
    return Tell();
}

int32_t FolderFileStream::Read(void* buffer, int32_t count) {
    if (count < 1) return 0;
    return static_cast<int32_t>(std::fread(buffer, 1, count, file_));
}

int32_t FolderFileStream::Write(const void* buffer, int32_t count) {
    if (count < 1) return 0;
    return static_cast<int32_t>(std::fwrite(buffer, 1, count, file_));
}

int32_t FolderFileStream::Tell() { return ClampedPosition(ftello(file_)); }

int32_t FolderFileStream::Size() {
    off_t position = ftello(file_);
    fseeko(file_, 0, SEEK_END);
    off_t end = ftello(file_);
    fseeko(file_, position, SEEK_SET);
    return ClampedPosition(end);
}

}  // namespace zentac

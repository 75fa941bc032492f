#include "framework/files/disk_file_provider.h"

#include <memory>

#include "engine/files/file_codec.h"
#include "engine/files/folder_codec.h"
#include "engine/files/memory_stream.h"

bool DiskFileProvider::exists(const std::string& name) {
    std::unique_ptr<zentac::Stream> file(
        zentac::OpenFolderFile(nullptr, name.c_str(), zentac::kModeRead, zentac::kArchivePassword));
    return file != nullptr;
}

zentac::Stream* DiskFileProvider::open(const std::string& name) {
    return new zentac::MemoryStream(zentac::String(name.c_str()));
}

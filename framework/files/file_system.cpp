#include "framework/files/file_system.h"

#include "framework/files/disk_file_provider.h"

FileSystem& FileSystem::instance() {
    static FileSystem* fileSystem = new FileSystem;
    return *fileSystem;
}

FileSystem::FileSystem() { providers_.push_back(std::make_unique<DiskFileProvider>()); }

void FileSystem::resetToStart() {
    providers_.clear();
    providers_.push_back(std::make_unique<DiskFileProvider>());
}

void FileSystem::addProvider(std::unique_ptr<FileProvider> provider) {
    providers_.push_back(std::move(provider));
}

bool FileSystem::exists(const std::string& name) {
    for (const auto& provider : providers_) {
        if (provider->exists(name)) return true;
    }
    return false;
}

zentac::Stream* FileSystem::open(const std::string& name) {
    for (const auto& provider : providers_) {
        if (provider->exists(name)) return provider->open(name);
    }
    return nullptr;
}

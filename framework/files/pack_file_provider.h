#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "framework/files/file_provider.h"

// One entry of the pack: a run of the pack's unpacked bytes.
class MemoryFile {
public:
    MemoryFile(const uint8_t* data, int32_t size) : data_(data), size_(size) {}

    const uint8_t* getData() const { return data_; }
    int32_t getSize() const { return size_; }
    // A new stream that reads the bytes in place; deleting it, or writing
    // to it, leaves the pack's bytes alone.
    zentac::Stream* openStream() const;

private:
    const uint8_t* data_;
    int32_t size_;
};

// The entries of a resource pack (see pack_format.h), read and unpacked on
// the first request that reaches the provider. A missing pack is an empty
// one; a damaged pack throws a zentac::Exception naming the problem.
// Streams over entries must not outlive the provider.
class PackFileProvider : public FileProvider {
public:
    explicit PackFileProvider(std::string path) : path_(std::move(path)) {}

    bool exists(const std::string& name) override;
    zentac::Stream* open(const std::string& name) override;

private:
    void loadOnce();
    void load();

    std::string path_;
    std::unique_ptr<uint8_t[]> unpacked_;
    std::map<std::string, MemoryFile> entries_;
    bool loaded_ = false;
};

#pragma once

#include "framework/files/file_provider.h"

// Loose files relative to the working directory, read whole into memory.
class DiskFileProvider : public FileProvider {
public:
    // True for a regular file that opens for reading.
    bool exists(const std::string& name) override;
    zentac::Stream* open(const std::string& name) override;
};

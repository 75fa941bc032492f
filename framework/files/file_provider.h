#pragma once

#include <string>

#include "engine/streams/stream.h"

// A source of data files, asked by exact, case-sensitive name.
class FileProvider {
public:
    virtual ~FileProvider() = default;

    virtual bool exists(const std::string& name) = 0;
    // A new stream over the whole file, owned by the caller; null when the
    // provider has no such file.
    virtual zentac::Stream* open(const std::string& name) = 0;
};

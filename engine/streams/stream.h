// engine/streams: the Stream interface and byte-level reading from it; uses core.
#pragma once

#include <cstdint>

#include "engine/core/object.h"

namespace zentac {

// Where Seek counts from. From the end, a positive offset lies before it.
enum SeekOrigin : int32_t {
    kSeekSet = 0,
    kSeekCurrent = 1,
    kSeekEnd = 2,
};

// Modes in which files are opened.
enum OpenMode : int32_t {
    kModeRead = 1,
    kModeWrite = 2,  // create or truncate
    kModeReadWrite = 3,
};

// The one interface through which the engine moves bytes. Positions, sizes
// and counts are 32-bit, as in the files it reads. The owner deletes a
// stream; streams shared between archive levels go by Object's refcount.
class Stream : public Object {
public:
    // Returns the new position.
    virtual int32_t Seek(int32_t offset, int32_t origin) = 0;
    // Returns the bytes actually read; 0 at or beyond the end.
    virtual int32_t Read(void* buffer, int32_t count) = 0;
    // Returns the bytes actually written.
    virtual int32_t Write(const void* buffer, int32_t count) = 0;
    virtual int32_t Tell() = 0;
    virtual int32_t Size() = 0;
    virtual bool IsOpen() = 0;
    virtual bool IsEof() = 0;

protected:
    // The position a Seek moves to; a target below 0 or beyond the 32-bit
    // range leaves the position where it is.
    static int32_t SeekTarget(int32_t position, int32_t size, int32_t offset, int32_t origin);
};

}  // namespace zentac

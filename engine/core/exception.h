// engine/core: exceptions, strings and the object base; uses nothing else.
#pragma once

#include "engine/core/string.h"

namespace zentac {

// The one error type the engine throws, by value.
class Exception {
public:
    Exception(const String& function, const String& message, const String& file, int line);
    Exception(const Exception& other) = default;
    Exception& operator=(const Exception& other) = default;
    virtual ~Exception() = default;

    const String& Function() const { return function_; }
    const String& Message() const { return message_; }
    const String& File() const { return file_; }
    int Line() const { return line_; }

private:
    String function_;
    String message_;
    String file_;
    int line_;
};

}  // namespace zentac

// Every throw site names no function, only its message, file and line.
#define ZENTAC_THROW(message) \
    throw ::zentac::Exception("Unknown function", (message), __FILE__, __LINE__)

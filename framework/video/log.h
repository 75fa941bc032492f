#pragma once

#include "framework/video/console.h"

#include <cstdarg>
#include <memory>
#include <string>

// The program's log: formatted lines at a level, written to its console when
// the level reaches the threshold (1 at start).
class Log {
public:
    static Log& instance();
    explicit Log(std::unique_ptr<Console> console);
    virtual ~Log() = default;

    virtual void setLevel(int threshold) { threshold_ = threshold; }
    virtual void setCursor(int x, int y);
    // Formats: %d an int, %f a double, %s a C string, %S a const
    // zentac::String*; each inserted piece is cut at 1024 bytes. A % before
    // any other character is copied as it stands.
    virtual void printLine(int level, const char* format, ...);
    virtual void print(int level, const char* format, ...);

    Console& console() { return *console_; }

private:
    void write(int level, const char* format, va_list arguments, bool lineFeed);

    int threshold_ = 1;
    std::unique_ptr<Console> console_;
};

std::string expandLogFormat(const char* format, va_list arguments);

// False once the user confirmed that the render should stop.
bool renderNotInterrupted();

#pragma once

#include <cstddef>

// Bytes of the line at text up to and including its line feed; the text
// parsers step through whole files with it. Stops at a zero byte (0 when
// one comes first) and never looks past `available` bytes.
std::size_t lineLength(const char* text, std::size_t available);

#include "framework/files/text_line.h"

std::size_t lineLength(const char* text, std::size_t available) {
    std::size_t length = 0;
    while (length < available) {
        char c = text[length];
        if (c == '\0') break;
        ++length;
        if (c == '\n') break;
    }
    return length;
}

#include "framework/video/log.h"

#include "engine/core/string.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr std::size_t pieceLimit = 1024;

void appendPiece(std::string& text, const char* piece) {
    if (piece) text.append(piece, strnlen(piece, pieceLimit));
}

}  // namespace

Log& Log::instance() {
    static Log* log = new Log(std::make_unique<TerminalConsole>());
    return *log;
}

Log::Log(std::unique_ptr<Console> console) : console_(std::move(console)) {}

void Log::setCursor(int x, int y) { console_->setCursor(static_cast<int16_t>(x), static_cast<int16_t>(y)); }

void Log::printLine(int level, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    write(level, format, arguments, true);
    va_end(arguments);
}

void Log::print(int level, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    write(level, format, arguments, false);
    va_end(arguments);
}

void Log::write(int level, const char* format, va_list arguments, bool lineFeed) {
    if (level < threshold_) return;
    std::string text = expandLogFormat(format, arguments);
    if (lineFeed) text += '\n';
    console_->write(text);
}

std::string expandLogFormat(const char* format, va_list arguments) {
    std::string text;
    for (const char* at = format; *at; ++at) {
        if (*at != '%' || !at[1]) {
            text += *at;
            continue;
        }
        char number[pieceLimit + 1];
        switch (*++at) {
        case 'd':
            std::snprintf(number, sizeof number, "%d", va_arg(arguments, int));
            appendPiece(text, number);
            break;
        case 'f':
            std::snprintf(number, sizeof number, "%f", va_arg(arguments, double));
            appendPiece(text, number);
            break;
        case 's':
            appendPiece(text, va_arg(arguments, const char*));
            break;
        case 'S': {
            const zentac::String* string = va_arg(arguments, const zentac::String*);
            appendPiece(text, string ? string->Data() : nullptr);
            break;
        }
        default:
            text += '%';
            text += *at;
        }
    }
    return text;
}

bool renderNotInterrupted() { return Log::instance().console().isRunning(); }

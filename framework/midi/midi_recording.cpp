#include "framework/midi/midi_recording.h"

#include <algorithm>
#include <limits>
#include <string_view>

#include "framework/files/text_line.h"

namespace {

constexpr std::string_view kEntriesPrefix = "entries=";
constexpr std::size_t kTimePrefixLength = 5;      // "time="
constexpr std::size_t kMessagePrefixLength = 11;  // "mididata=0x"
constexpr std::size_t kMaxValueLength = 1023;
constexpr std::size_t kMaxHexDigits = 8;
// What recordings have always read for a message without usable digits.
constexpr uint32_t kUnreadableMessage = 666;

// The value of a line: what follows `prefixLength` characters (fewer when
// the line is shorter) up to CR, LF or the end of the text.
std::string_view valueOf(std::string_view line, std::size_t prefixLength) {
    line.remove_prefix(std::min(prefixLength, line.size()));
    line = line.substr(0, line.find_first_of("\r\n"));
    return line.substr(0, kMaxValueLength);
}

// The leading integer as atoi reads it, clamped to 32 bits.
int32_t decimalOf(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    constexpr int64_t kLimit = static_cast<int64_t>(std::numeric_limits<int32_t>::max()) + 1;
    int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = std::min(magnitude * 10 + (text[i] - '0'), kLimit);
    }
    const int64_t value = negative ? -magnitude : magnitude;
    return static_cast<int32_t>(
        std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

int hexDigitOf(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Digits count from the right; the first non-digit ends them.
uint32_t hexOf(std::string_view text) {
    if (text.empty() || text.size() > kMaxHexDigits) return kUnreadableMessage;
    uint32_t value = 0;
    int shift = 0;
    for (std::size_t i = text.size(); i-- > 0; shift += 4) {
        const int digit = hexDigitOf(text[i]);
        if (digit < 0) break;
        value |= static_cast<uint32_t>(digit) << shift;
    }
    return value;
}

// Steps through the lines of the text; at the end it stays there.
class LineCursor {
public:
    LineCursor(const char* text, std::size_t size) : text_(text), size_(size) {}

    bool atEnd() const { return position_ >= size_; }
    std::string_view line() const { return {text_ + position_, lineLength(text_ + position_, size_ - position_)}; }
    void next() { position_ += line().size(); }

private:
    const char* text_;
    std::size_t size_;
    std::size_t position_ = 0;
};

}  // namespace

std::vector<RecordedMidiMessage> parseMidiRecording(const char* text, std::size_t size) {
    // The text ends at a zero byte, so every line has at least one character.
    size = static_cast<std::size_t>(std::find(text, text + size, '\0') - text);
    LineCursor cursor(text, size);
    std::vector<RecordedMidiMessage> messages;
    if (cursor.atEnd() || !cursor.line().starts_with(kEntriesPrefix)) return messages;
    const int32_t entries = decimalOf(valueOf(cursor.line(), kEntriesPrefix.size()));
    cursor.next();

    int64_t valueLines = 0;
    while (valueLines < entries && !cursor.atEnd()) {
        const int32_t time = decimalOf(valueOf(cursor.line(), kTimePrefixLength));
        cursor.next();
        ++valueLines;
        if (cursor.atEnd()) break;
        messages.push_back({time, hexOf(valueOf(cursor.line(), kMessagePrefixLength))});
        ++valueLines;
        cursor.next();
    }
    return messages;
}

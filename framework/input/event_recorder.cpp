#include "framework/input/event_recorder.h"

#include "framework/clock/timer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char* const eventsPath = "data/events.txt";
const char* const eventsTempPath = "data/events.txt.tmp";
const char* const recordFormat = "eventid = %d\ntime = %d\n";
constexpr int32_t endMark = -1;

// False when reading stopped on an error rather than at the end.
bool readWholeFile(std::FILE* file, std::string& text) {
    char buffer[4096];
    std::size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, count);
    return !std::ferror(file);
}

// Reads records the way scanf reads the record format: every blank or line
// end of the format matches any run of white space (none included), and each
// number is an optionally signed decimal that must fit in 32 bits.
class EventListReader {
public:
    explicit EventListReader(const std::string& text) : text_(text) {}

    bool read(RecordedEvent& event) {
        skipSpace();
        recordStart_ = pos_;
        return word("eventid") && word("=") && number(event.eventId) && word("time") && word("=") &&
               number(event.time);
    }

    // After a failed read: whether the text had only white space left.
    bool endedBeforeRecord() const { return recordStart_ == text_.size(); }

    // The line, counted from 1, on which the last record read began.
    std::size_t recordLine() const {
        const auto start = text_.begin() + static_cast<std::ptrdiff_t>(recordStart_);
        return 1 + static_cast<std::size_t>(std::count(text_.begin(), start, '\n'));
    }

private:
    static bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

    void skipSpace() {
        while (pos_ < text_.size() && isSpace(text_[pos_])) ++pos_;
    }

    bool word(const char* expected) {
        skipSpace();
        for (; *expected; ++expected, ++pos_) {
            if (pos_ >= text_.size() || text_[pos_] != *expected) return false;
        }
        return true;
    }

    bool number(int32_t& out) {
        skipSpace();
        bool negative = false;
        if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) negative = text_[pos_++] == '-';
        const int64_t limit = negative ? 2147483648LL : 2147483647LL;
        int64_t magnitude = 0;
        std::size_t digits = 0;
        for (; pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9'; ++pos_, ++digits) {
            magnitude = magnitude * 10 + (text_[pos_] - '0');
            if (magnitude > limit) return false;
        }
        if (digits == 0) return false;
        out = static_cast<int32_t>(negative ? -magnitude : magnitude);
        return true;
    }

    const std::string& text_;
    std::size_t pos_ = 0;
    std::size_t recordStart_ = 0;
};

}  // namespace

std::string parseEventList(const std::string& text, const char* name, std::vector<RecordedEvent>& events) {
    EventListReader reader(text);
    RecordedEvent event;
    while (reader.read(event)) {
        if (event.eventId == endMark || event.time == endMark) return "";
        events.push_back(event);
    }
    if (reader.endedBeforeRecord()) return std::string(name) + ": ends without its end record";
    return std::string(name) + ":" + std::to_string(reader.recordLine()) +
           ": not an event record; the list ends before it";
}

EventRecorder& EventRecorder::instance() {
    static EventRecorder* recorder = new EventRecorder;
    return *recorder;
}

void EventRecorder::resetToStart() {
    events_.clear();
    readIndex_ = 0;
}

void EventRecorder::record(int, int triggerId) { events_.push_back({triggerId, Timer::instance().getTime()}); }

std::string EventRecorder::load() {
    std::FILE* file = std::fopen(eventsPath, "r");
    if (!file) return std::string(eventsPath) + ": " + std::strerror(errno);
    std::string text;
    const bool whole = readWholeFile(file, text);
    const int readError = errno;
    std::fclose(file);
    if (!whole) return std::string(eventsPath) + ": cannot be read: " + std::strerror(readError);
    return parseEventList(text, eventsPath, events_);
}

bool EventRecorder::save() const {
    // Written beside the list and renamed over it, so that a failed write
    // leaves the old list whole.
    std::FILE* file = std::fopen(eventsTempPath, "w");
    if (!file) return false;
    for (const RecordedEvent& event : events_) std::fprintf(file, recordFormat, event.eventId, event.time);
    std::fprintf(file, recordFormat, endMark, endMark);
    bool written = !std::ferror(file);
    if (std::fclose(file) != 0) written = false;
    if (!written || std::rename(eventsTempPath, eventsPath) != 0) {
        std::remove(eventsTempPath);
        return false;
    }
    return true;
}

bool EventRecorder::due() const {
    return readIndex_ < events_.size() && Timer::instance().getTime() >= events_[readIndex_].time;
}

int EventRecorder::next() {
    // Past the end there is nothing to give; callers ask due() first.
    if (readIndex_ >= events_.size()) return endMark;
    return events_[readIndex_++].eventId;
}

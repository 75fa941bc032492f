#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One input event: which trigger fired, at which scene time (ms since the
// scene that was current then was entered).
struct RecordedEvent {
    int32_t eventId;
    int32_t time;
};

// Appends the events of an event list's text, in order, up to its end record
// or its first malformed record (see EventRecorder); returns what was wrong,
// named after name, or nothing when the list ended with its end record.
std::string parseEventList(const std::string& text, const char* name, std::vector<RecordedEvent>& events);

// The list of input events that drives the show, read from and written to
// "data/events.txt" in the working directory. Each event there is
// "eventid = %d\ntime = %d\n"; a record with -1 in either field ends the
// list. The one read position only moves forward, so the list replays once.
class EventRecorder {
public:
    static EventRecorder& instance();
    // Back to the state of a fresh process (test programs run many cases in one).
    void resetToStart();
    EventRecorder() = default;

    // Appends the trigger id at the current scene time; the value is not kept.
    void record(int value, int triggerId);
    // Appends the events of the file; a missing file adds none, and a
    // malformed record ends the list there. Returns what kept the file from
    // loading whole, for the person running the show; empty when nothing did.
    std::string load();
    // Replaces the file with the list and its end record; false when it could
    // not be written (the old file then stays as it was).
    bool save() const;

    // An event is left and the scene time has reached it.
    bool due() const;
    // The id of the event at the read position, which moves on by one.
    int next();

    const std::vector<RecordedEvent>& events() const { return events_; }

private:
    std::vector<RecordedEvent> events_;
    std::size_t readIndex_ = 0;
};

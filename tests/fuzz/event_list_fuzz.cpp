// Reads the input as the event list data/events.txt.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/input/event_recorder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<RecordedEvent> events;
    parseEventList(std::string(reinterpret_cast<const char*>(data), size), "fuzz", events);
    return 0;
}

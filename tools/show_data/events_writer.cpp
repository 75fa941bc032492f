#include "tools/show_data/events_writer.h"

#include <cstdio>

namespace show_data {

namespace {

void append(std::string& text, int32_t triggerId, int32_t time) {
    char record[64];
    std::snprintf(record, sizeof record, "eventid = %d\ntime = %d\n", static_cast<int>(triggerId),
                  static_cast<int>(time));
    text += record;
}

}  // namespace

std::string formatEvents(const std::vector<ShowEvent>& events) {
    std::string text;
    for (const ShowEvent& event : events) append(text, event.triggerId, event.time);
    append(text, -1, -1);
    return text;
}

}  // namespace show_data

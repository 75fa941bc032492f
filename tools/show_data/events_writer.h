#pragma once

#include <string>
#include <vector>

#include "tools/show_data/show_events.h"

namespace show_data {

// The text of the show's event list: "eventid = %d\ntime = %d\n" per event,
// closed by the same with -1 and -1.
std::string formatEvents(const std::vector<ShowEvent>& events);

}  // namespace show_data

#pragma once

#include <cstdint>
#include <string>

// The closing box's text: the current scene's time and the main loop's
// passes per second of wall time between the two tick counts.
std::string runStatsText(int sceneTime, uint32_t startTicks, uint32_t endTicks, uint64_t passes);

void showRunStats(uint32_t startTicks, uint32_t endTicks, uint64_t passes);

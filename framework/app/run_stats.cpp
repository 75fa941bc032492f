#include "framework/app/run_stats.h"

#include "framework/clock/timer.h"
#include "platform/message_box.h"

#include <cstdio>

std::string runStatsText(int sceneTime, uint32_t startTicks, uint32_t endTicks, uint64_t passes) {
    double seconds = static_cast<uint32_t>(endTicks - startTicks) / 1000.0;
    double fps = seconds > 0.0 ? static_cast<double>(passes) / seconds : 0.0;
    char text[1024];
    std::snprintf(text, sizeof text, "time: %d\nfps: %f", sceneTime, fps);
    return text;
}

void showRunStats(uint32_t startTicks, uint32_t endTicks, uint64_t passes) {
    std::string text = runStatsText(Timer::instance().getTime(), startTicks, endTicks, passes);
    host::messageBox(text.c_str(), "", host::Buttons::Ok, host::Icon::None);
}

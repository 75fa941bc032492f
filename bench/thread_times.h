#pragma once

#include <string>
#include <vector>

// The CPU time each thread of this process has used so far: the show's own
// threads, the OpenGL driver's thread and its rasteriser threads alike.
struct ThreadTime {
    int id = 0;
    std::string name;
    double cpuMs = 0;
};

// Every thread living now, from /proc/self/task and each thread's CPU clock.
std::vector<ThreadTime> threadTimesNow();

// The ids of llvmpipe's rasteriser threads living now.
std::vector<int> rasteriserThreads();
// The CPU these threads have used so far, in ms, read from their clocks
// alone: cheap enough to read around every draw.
double threadsCpuMs(const std::vector<int>& ids);

// The CPU used by groups of threads between two readings, in ms: the main
// thread, the driver's OpenGL thread, its rasteriser threads (with how many
// there were and the busiest one) and the rest.
struct ThreadGroupTimes {
    double mainMs = 0;
    double glThreadMs = 0;
    double rasterMs = 0;
    double busiestRasterMs = 0;
    int rasterThreads = 0;
    double otherMs = 0;

    // A thread only in `later` counts from its start.
    static ThreadGroupTimes between(const std::vector<ThreadTime>& earlier, const std::vector<ThreadTime>& later);
};

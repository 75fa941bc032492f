#include "bench/thread_times.h"

#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>

namespace {

// The kernel's CPU clock of one thread, as pthread_getcpuclockid makes it;
// it works for threads the program did not start.
clockid_t threadCpuClock(int id) {
    constexpr clockid_t kPerThread = 4;
    constexpr clockid_t kScheduler = 2;
    return static_cast<clockid_t>((~static_cast<unsigned>(id)) << 3) | kPerThread | kScheduler;
}

bool isRasteriser(const std::string& name) { return name.rfind("llvmpipe-", 0) == 0; }

// Mesa names its OpenGL thread after the program, with ":gl" and a number.
bool isGlThread(const std::string& name) { return name.find(":gl") != std::string::npos; }

// A thread's CPU so far in ms; false when the thread is gone.
bool threadCpuMs(int id, double& ms) {
    timespec time{};
    if (clock_gettime(threadCpuClock(id), &time) != 0) return false;
    ms = static_cast<double>(time.tv_sec) * 1e3 + static_cast<double>(time.tv_nsec) / 1e6;
    return true;
}

}  // namespace

std::vector<int> rasteriserThreads() {
    std::vector<int> ids;
    for (const ThreadTime& thread : threadTimesNow()) {
        if (isRasteriser(thread.name)) ids.push_back(thread.id);
    }
    return ids;
}

double threadsCpuMs(const std::vector<int>& ids) {
    double sum = 0;
    for (int id : ids) {
        double ms = 0;
        if (threadCpuMs(id, ms)) sum += ms;
    }
    return sum;
}

std::vector<ThreadTime> threadTimesNow() {
    std::vector<ThreadTime> threads;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task", error)) {
        ThreadTime thread;
        thread.id = std::atoi(entry.path().filename().c_str());
        // Gone since the listing.
        if (thread.id <= 0 || !threadCpuMs(thread.id, thread.cpuMs)) continue;
        std::ifstream(entry.path() / "comm") >> thread.name;
        threads.push_back(thread);
    }
    return threads;
}

ThreadGroupTimes ThreadGroupTimes::between(const std::vector<ThreadTime>& earlier,
                                           const std::vector<ThreadTime>& later) {
    std::map<int, double> before;
    for (const ThreadTime& thread : earlier) before[thread.id] = thread.cpuMs;
    const int mainId = static_cast<int>(getpid());
    ThreadGroupTimes groups;
    for (const ThreadTime& thread : later) {
        const auto found = before.find(thread.id);
        const double used = thread.cpuMs - (found != before.end() ? found->second : 0.0);
        if (thread.id == mainId) {
            groups.mainMs += used;
        } else if (isGlThread(thread.name)) {
            groups.glThreadMs += used;
        } else if (isRasteriser(thread.name)) {
            groups.rasterMs += used;
            groups.busiestRasterMs = std::max(groups.busiestRasterMs, used);
            ++groups.rasterThreads;
        } else {
            groups.otherMs += used;
        }
    }
    return groups;
}

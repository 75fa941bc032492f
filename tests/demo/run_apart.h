#pragma once

#include <functional>
#include <string>
#include <sys/types.h>

// A child process running a body of its own; what the body returns comes
// back through a pipe.
struct ApartRun {
    pid_t child = -1;
    int answer = -1;  // the pipe's reading end
};

// Starts body in a child process. Several may run side by side: start them
// all before finishing any.
ApartRun startApart(const std::function<std::string()>& body);
// Waits for the child and returns what its body returned; a throw or a
// crash there fails with the reason.
std::string finishApart(const ApartRun& run);

inline std::string runApart(const std::function<std::string()>& body) { return finishApart(startApart(body)); }

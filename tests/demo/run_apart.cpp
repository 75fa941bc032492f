#include "tests/demo/run_apart.h"

#include <sys/wait.h>
#include <unistd.h>

#include <exception>
#include <stdexcept>

ApartRun startApart(const std::function<std::string()>& body) {
    int channel[2];
    if (pipe(channel) != 0) throw std::runtime_error("no pipe");
    const pid_t child = fork();
    if (child < 0) throw std::runtime_error("no fork");
    if (child == 0) {
        close(channel[0]);
        std::string answer;
        int status = 0;
        try {
            answer = body();
        } catch (const std::exception& e) {
            answer = e.what();
            status = 1;
        } catch (...) {
            answer = "failed";
            status = 1;
        }
        for (std::size_t written = 0; written < answer.size();) {
            const ssize_t n = write(channel[1], answer.data() + written, answer.size() - written);
            if (n <= 0) break;
            written += static_cast<std::size_t>(n);
        }
        _exit(status);
    }
    close(channel[1]);
    return {child, channel[0]};
}

std::string finishApart(const ApartRun& run) {
    // A child still writing waits for this read, never the other way round.
    std::string answer;
    char buffer[65536];
    for (ssize_t n; (n = read(run.answer, buffer, sizeof buffer)) > 0;) {
        answer.append(buffer, static_cast<std::size_t>(n));
    }
    close(run.answer);
    int status = 0;
    waitpid(run.child, &status, 0);
    if (!WIFEXITED(status)) throw std::runtime_error("the child process crashed");
    if (WEXITSTATUS(status) != 0) throw std::runtime_error("the child process failed: " + answer);
    return answer;
}

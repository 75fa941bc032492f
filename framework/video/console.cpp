#include "framework/video/console.h"

#include "platform/message_box.h"

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t abortRequested = 0;

const int abortSignals[] = {SIGINT, SIGHUP, SIGTERM};

extern "C" void noteAbortRequest(int) { abortRequested = 1; }

void setAbortHandlers(void (*handler)(int)) {
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    for (int signal : abortSignals) sigaction(signal, &action, nullptr);
}

}  // namespace

TerminalConsole::TerminalConsole() { setAbortHandlers(noteAbortRequest); }

TerminalConsole::~TerminalConsole() { setAbortHandlers(SIG_DFL); }

void TerminalConsole::write(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

void TerminalConsole::setCursor(int16_t x, int16_t y) {
    if (!isatty(STDERR_FILENO)) return;
    std::fprintf(stderr, "\x1b[%d;%dH", y + 1, x + 1);
}

bool TerminalConsole::isRunning() {
    if (abortRequested) {
        abortRequested = 0;
        if (host::messageBox("Really?", "Abort?", host::Buttons::YesNo, host::Icon::Question)) running_ = false;
    }
    return running_;
}

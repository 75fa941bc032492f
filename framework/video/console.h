#pragma once

#include <cstdint>
#include <string>

// Where the log's text goes, and whether the user still lets a render run.
class Console {
public:
    virtual ~Console() = default;
    virtual void write(const std::string& text) = 0;
    virtual void setCursor(int16_t x, int16_t y) = 0;
    virtual bool isRunning() = 0;
};

// The terminal the program runs in: text goes to standard error, and Ctrl+C,
// a hang-up or a termination request asks "Really?" before the render stops.
// The signal handler only notes the signal; the question is asked by
// isRunning, on the thread that polls it.
class TerminalConsole : public Console {
public:
    TerminalConsole();
    ~TerminalConsole() override;
    TerminalConsole(const TerminalConsole&) = delete;
    TerminalConsole& operator=(const TerminalConsole&) = delete;

    void write(const std::string& text) override;
    // Moves the cursor only on a terminal: a redirected log stays plain text.
    void setCursor(int16_t x, int16_t y) override;
    bool isRunning() override;

private:
    bool running_ = true;
};

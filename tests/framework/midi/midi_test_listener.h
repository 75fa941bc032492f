#pragma once

#include <string>
#include <vector>

#include "framework/midi/midi_pattern_listener.h"

// Writes every call it gets into a log shared by several listeners, so that
// tests see the order across them: "A note 64/36/40", "H start 65".
class LoggingListener : public MidiPatternListener {
public:
    LoggingListener(std::string name, std::vector<std::string>& log) : name_(std::move(name)), log_(log) {}

    void onNote(int pattern, int note, int step) override {
        log_.push_back(name_ + " note " + std::to_string(pattern) + "/" + std::to_string(note) + "/" +
                       std::to_string(step));
    }
    void onSelect(int pattern) override { log_.push_back(name_ + " select " + std::to_string(pattern)); }
    void onStart(int pattern) override { log_.push_back(name_ + " start " + std::to_string(pattern)); }

private:
    std::string name_;
    std::vector<std::string>& log_;
};

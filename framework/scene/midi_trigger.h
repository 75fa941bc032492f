#pragma once

#include "framework/triggers/trigger.h"

#include <vector>

// Counts the MIDI messages of its kinds; every message is one hit.
class MidiTrigger : public Trigger {
public:
    // Registers under one MIDI key per data value with the MIDI listeners of
    // the scene being set up. The data list ends at its end or at the first
    // -1; sign is the direction of a control change (0 for none).
    MidiTrigger(int channel, const std::vector<int>& data, int status, int sign);

    int poll() override;
    int value() override { return getId(); }
    void hit() override { ++hits_; }

private:
    int hits_ = 0;
};

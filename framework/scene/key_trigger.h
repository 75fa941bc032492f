#pragma once

#include "framework/triggers/trigger.h"

#include <vector>

// Fires once per poll while any of its keys was pressed since it last fired;
// several presses between two polls count as one.
class KeyTrigger : public Trigger {
public:
    // Registers with the keyboard listeners of the scene being set up. The
    // codes are the program's own key codes; the list ends at its end or at
    // the first 0xFF.
    explicit KeyTrigger(const std::vector<int>& keyCodes);

    int poll() override { return pressed_ ? 1 : 0; }
    int value() override;
    void hit() override { pressed_ = true; }

private:
    bool pressed_ = false;
};

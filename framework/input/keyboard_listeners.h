#pragma once

#include <cstdint>
#include <map>
#include <vector>

class Trigger;

// A scene's map from scan code to the key triggers that listen for it.
class KeyboardListeners {
public:
    void add(int8_t scanCode, Trigger* trigger);
    void dispatch(int8_t scanCode);

private:
    std::map<int8_t, std::vector<Trigger*>> listeners_;
};

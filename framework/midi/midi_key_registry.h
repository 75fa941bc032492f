#pragma once

#include <cstdint>
#include <map>
#include <memory>

// One kind of MIDI message a trigger waits for. sign is the direction of a
// control change: -1, +1, or 0 for none.
struct MidiKey {
    int channel;
    int data;
    int status;
    int sign;
};

// Interns MIDI keys so that equal kinds are one object.
class MidiKeyRegistry {
public:
    static MidiKeyRegistry& instance();
    // Back to the state of a fresh process (test programs run many cases in one).
    void resetToStart();

    // The key is made on the first request and kept for the whole run.
    const MidiKey* getKey(int channel, int data, int status, int sign);

    // data | channel << 8 | status << 13, plus one bit for each sign. Throws
    // for a channel outside 0..31, data outside 0..255 or a status outside
    // 0..0xFFF, where the fields would overlap and distinct keys collide.
    static uint32_t pack(int channel, int data, int status, int sign);

private:
    MidiKeyRegistry() = default;

    std::map<uint32_t, std::unique_ptr<MidiKey>> keys_;
};

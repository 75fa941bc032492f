#include "framework/midi/midi_key_registry.h"

#include "engine/core/exception.h"

namespace {

constexpr uint32_t negativeSign = 0x2000000;
constexpr uint32_t positiveSign = 0x4000000;

int signOf(int sign) { return (sign > 0) - (sign < 0); }

}  // namespace

MidiKeyRegistry& MidiKeyRegistry::instance() {
    static MidiKeyRegistry* registry = new MidiKeyRegistry;
    return *registry;
}

void MidiKeyRegistry::resetToStart() { keys_.clear(); }

uint32_t MidiKeyRegistry::pack(int channel, int data, int status, int sign) {
    if (channel < 0 || channel > 31) ZENTAC_THROW("MIDI channel out of range");
    if (data < 0 || data > 0xFF) ZENTAC_THROW("MIDI data byte out of range");
    if (status < 0 || status > 0xFFF) ZENTAC_THROW("MIDI status out of range");
    uint32_t packed = static_cast<uint32_t>(data) | static_cast<uint32_t>(channel) << 8 |
                      static_cast<uint32_t>(status) << 13;
    if (sign < 0) packed |= negativeSign;
    if (sign > 0) packed |= positiveSign;
    return packed;
}

const MidiKey* MidiKeyRegistry::getKey(int channel, int data, int status, int sign) {
    std::unique_ptr<MidiKey>& key = keys_[pack(channel, data, status, sign)];
    if (!key) key.reset(new MidiKey{channel, data, status, signOf(sign)});
    return key.get();
}

#pragma once

#include <cstdint>

namespace show_data {

// One short MIDI message as the show's recording holds it: status in bits
// 0-7, first data byte in bits 8-15, second in bits 16-23; due `time` ms
// after the music starts.
struct TimedMidiMessage {
    int32_t time;
    uint32_t message;

    bool operator==(const TimedMidiMessage&) const = default;
};

namespace midi {

inline constexpr uint32_t kClock = 0xF8;
inline constexpr uint32_t kStart = 0xFA;
inline constexpr uint32_t kStop = 0xFC;
inline constexpr int kClocksPerQuarter = 24;
inline constexpr int kBankSelectLsb = 32;

constexpr uint32_t shortMessage(int status, int data1, int data2) {
    return static_cast<uint32_t>(status & 0xFF) | static_cast<uint32_t>(data1 & 0x7F) << 8 |
           static_cast<uint32_t>(data2 & 0x7F) << 16;
}
constexpr uint32_t noteOn(int channel, int note, int velocity) { return shortMessage(0x90 | channel, note, velocity); }
constexpr uint32_t noteOff(int channel, int note) { return shortMessage(0x80 | channel, note, 0); }
constexpr uint32_t controlChange(int channel, int controller, int value) {
    return shortMessage(0xB0 | channel, controller, value);
}
constexpr uint32_t programChange(int channel, int program) { return shortMessage(0xC0 | channel, program, 0); }

constexpr int kindOf(uint32_t message) { return static_cast<int>(message & 0xF0); }
constexpr int channelOf(uint32_t message) { return static_cast<int>(message & 0x0F); }
constexpr int data1Of(uint32_t message) { return static_cast<int>(message >> 8 & 0x7F); }
constexpr int data2Of(uint32_t message) { return static_cast<int>(message >> 16 & 0x7F); }

}  // namespace midi
}  // namespace show_data

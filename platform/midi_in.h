#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace host {

// MIDI input over the ALSA sequencer. Opening makes a sequencer client
// "vorn" with one port, "MIDI in", that any source can be connected to
// (aconnect, a patch bay), and connects input `device` to it: counting from
// 0, the readable ports of hardware and of other programs (the system client
// and the kernel's through ports are no devices). A reader thread turns what
// arrives into short messages (see midiEventWords) and hands each one to the
// receiver; the note-off of a note with a duration follows when the duration
// has passed. Closing, on destruction, stops and joins the thread and drops
// note-offs still waiting.
class MidiIn {
public:
    using Receiver = std::function<void(uint32_t message)>;

    MidiIn();
    ~MidiIn();
    MidiIn(const MidiIn&) = delete;
    MidiIn& operator=(const MidiIn&) = delete;

    // False, quietly and without effect, when there is no sequencer or when
    // this input is open already. Without such a device the port is still
    // there to be connected to.
    bool open(int device, Receiver receiver);

private:
    struct Session;
    std::unique_ptr<Session> session_;
};

}  // namespace host

// framework/midi: MIDI input, recordings, patterns and listener tables; uses clock, files, triggers, engine, platform.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/midi/midi_message_ring.h"
#include "framework/midi/midi_pattern_listener.h"
#include "framework/midi/midi_recording.h"
#include "framework/midi/note_listener_table.h"
#include "framework/midi/pattern_clock.h"
#include "platform/midi_in.h"

// The show's MIDI dispatcher. Live messages from a MIDI input device and the
// messages of a recording, replayed against the Timer, pass through one
// ring. Once per frame update() drains it on the main thread: clock, start
// and stop run the pattern clock, a bank select together with a program
// change chooses the next pattern, and every note-on (velocity 0 included)
// calls the listeners of the current pattern, its note and the current step.
// Channels are not looked at.
//
// Scenes register through MidiPattern::applyTo at start-up, on the main
// thread; every listener is called on the main thread.
class MidiInput {
public:
    // Made on first use; at exit it closes the device.
    static MidiInput& instance();
    // Back to the state of a fresh process; an open device stays open (test programs run many cases in one).
    void resetToStart();

    MidiInput();

    // Opens MIDI input `device` (see host::MidiIn). Without a sequencer, or
    // with a device open already, nothing happens and the show plays on.
    void open(int device);
    // Reads the recording through the file system, to be replayed by
    // update(). False (with nothing to replay) when the file cannot be opened.
    bool loadRecording(const std::string& path);
    // Main thread, once per frame: the recorded messages that are due (time
    // at most the Timer's, compared signed) go to the ring in file order, as
    // far as it has room; then every message stored before is handled.
    void update();

    // Throw for indices outside the tables and for shapes they cannot hold.
    void setPatternShape(int pattern, int stepsPerQuarter, int stepsPerBar, int bars);
    void addNoteListener(int pattern, int note, int step, MidiPatternListener* listener);
    void setPatternHandler(int pattern, MidiPatternListener* handler);

    // Stores one live message; any thread. When the ring is full the message
    // is dropped and counted.
    void enqueue(uint32_t message);
    uint32_t droppedMessages() const { return dropped_.load(); }

private:
    void replayDue();
    void handleMessage(uint32_t message);

    MidiMessageRing ring_;
    std::atomic<uint32_t> dropped_{0};
    PatternClock clock_;
    NoteListenerTable listeners_;
    std::vector<RecordedMidiMessage> recording_;
    std::size_t replayIndex_ = 0;
    // Last, so that it closes first: its reader thread writes into the ring.
    host::MidiIn device_;
};

#include "platform/midi_in.h"

#include <gtest/gtest.h>

#include <alsa/asoundlib.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/midi_event_word.h"

namespace {

snd_seq_event_t eventOf(snd_seq_event_type_t type) {
    snd_seq_event_t event;
    std::memset(&event, 0, sizeof event);
    event.type = type;
    return event;
}

snd_seq_event_t noteEvent(snd_seq_event_type_t type, int channel, int note, int velocity) {
    snd_seq_event_t event = eventOf(type);
    event.data.note.channel = static_cast<unsigned char>(channel);
    event.data.note.note = static_cast<unsigned char>(note);
    event.data.note.velocity = static_cast<unsigned char>(velocity);
    return event;
}

snd_seq_event_t controlEvent(snd_seq_event_type_t type, int channel, unsigned param, int value) {
    snd_seq_event_t event = eventOf(type);
    event.data.control.channel = static_cast<unsigned char>(channel);
    event.data.control.param = param;
    event.data.control.value = value;
    return event;
}

// The client id of the sequencer client called `name`, or -1.
int clientNamed(snd_seq_t* sequencer, const char* name) {
    snd_seq_client_info_t* client;
    snd_seq_client_info_alloca(&client);
    snd_seq_client_info_set_client(client, -1);
    while (snd_seq_query_next_client(sequencer, client) >= 0) {
        if (std::strcmp(snd_seq_client_info_get_name(client), name) == 0) return snd_seq_client_info_get_client(client);
    }
    return -1;
}

}  // namespace

TEST(MidiEventWord, TurnsEventsIntoShortMessages) {
    using host::midiEventWord;
    EXPECT_EQ(midiEventWord(noteEvent(SND_SEQ_EVENT_NOTEON, 3, 36, 100)), 0x642493u);
    EXPECT_EQ(midiEventWord(noteEvent(SND_SEQ_EVENT_NOTEON, 0, 36, 0)), 0x002490u) << "stays a note-on";
    EXPECT_EQ(midiEventWord(noteEvent(SND_SEQ_EVENT_NOTEOFF, 15, 60, 64)), 0x403C8Fu);
    EXPECT_EQ(midiEventWord(controlEvent(SND_SEQ_EVENT_CONTROLLER, 0, 32, 1)), 0x0120B0u);
    EXPECT_EQ(midiEventWord(controlEvent(SND_SEQ_EVENT_PGMCHANGE, 1, 0, 64)), 0x40C1u);
    EXPECT_EQ(midiEventWord(controlEvent(SND_SEQ_EVENT_PITCHBEND, 0, 0, 0)), 0x4000E0u);
    EXPECT_EQ(midiEventWord(controlEvent(SND_SEQ_EVENT_PITCHBEND, 0, 0, -8192)), 0x0000E0u);
    EXPECT_EQ(midiEventWord(eventOf(SND_SEQ_EVENT_CLOCK)), 0xF8u);
    EXPECT_EQ(midiEventWord(eventOf(SND_SEQ_EVENT_START)), 0xFAu);
    EXPECT_EQ(midiEventWord(eventOf(SND_SEQ_EVENT_STOP)), 0xFCu);
    EXPECT_FALSE(midiEventWord(eventOf(SND_SEQ_EVENT_SYSEX)).has_value());
    EXPECT_FALSE(midiEventWord(eventOf(SND_SEQ_EVENT_PORT_SUBSCRIBED)).has_value());
}

TEST(MidiIn, OpensOnceAndGoesOnWithoutSequencer) {
    host::MidiIn input;
    const bool opened = input.open(0, [](uint32_t) {});
    EXPECT_FALSE(input.open(0, [](uint32_t) {})) << (opened ? "open already" : "still no sequencer");
}

TEST(MidiIn, APeerPortFeedsNotes) {
    snd_seq_t* peer = nullptr;
    if (access("/dev/snd/seq", R_OK | W_OK) != 0 || snd_seq_open(&peer, "default", SND_SEQ_OPEN_OUTPUT, 0) < 0) {
        GTEST_SKIP() << "no ALSA sequencer";
    }
    const int peerPort = snd_seq_create_simple_port(peer, "test out", SND_SEQ_PORT_CAP_READ,
                                                    SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    ASSERT_GE(peerPort, 0);

    std::atomic<uint32_t> received{0};
    {
        host::MidiIn input;
        ASSERT_TRUE(input.open(-1, [&received](uint32_t message) { received = message; }));
        const int vorn = clientNamed(peer, "vorn");
        ASSERT_GE(vorn, 0);
        ASSERT_GE(snd_seq_connect_to(peer, peerPort, vorn, 0), 0);

        snd_seq_event_t event = noteEvent(SND_SEQ_EVENT_NOTEON, 2, 36, 0);
        snd_seq_ev_set_source(&event, peerPort);
        snd_seq_ev_set_subs(&event);
        snd_seq_ev_set_direct(&event);
        ASSERT_GE(snd_seq_event_output_direct(peer, &event), 0);
        for (int i = 0; i < 200 && received == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    snd_seq_close(peer);
    EXPECT_EQ(received.load(), 0x002492u);
}

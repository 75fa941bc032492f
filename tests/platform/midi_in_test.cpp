#include "platform/midi_in.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <alsa/asoundlib.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <limits>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/midi_event_word.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::vector<uint32_t> nowOf(const snd_seq_event_t& event) {
    const host::MidiEventWords words = host::midiEventWords(event);
    return {words.now().begin(), words.now().end()};
}

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

TEST(MidiEventWords, TurnsEventsIntoShortMessages) {
    EXPECT_THAT(nowOf(noteEvent(SND_SEQ_EVENT_NOTEON, 3, 36, 100)), ElementsAre(0x642493u));
    EXPECT_THAT(nowOf(noteEvent(SND_SEQ_EVENT_NOTEON, 0, 36, 0)), ElementsAre(0x002490u)) << "stays a note-on";
    EXPECT_THAT(nowOf(noteEvent(SND_SEQ_EVENT_NOTEOFF, 15, 60, 64)), ElementsAre(0x403C8Fu));
    EXPECT_THAT(nowOf(controlEvent(SND_SEQ_EVENT_CONTROLLER, 0, 32, 1)), ElementsAre(0x0120B0u));
    EXPECT_THAT(nowOf(controlEvent(SND_SEQ_EVENT_PGMCHANGE, 1, 0, 64)), ElementsAre(0x40C1u));
    EXPECT_THAT(nowOf(controlEvent(SND_SEQ_EVENT_PITCHBEND, 0, 0, 0)), ElementsAre(0x4000E0u));
    EXPECT_THAT(nowOf(controlEvent(SND_SEQ_EVENT_PITCHBEND, 0, 0, -8192)), ElementsAre(0x0000E0u));
    EXPECT_THAT(nowOf(eventOf(SND_SEQ_EVENT_CLOCK)), ElementsAre(0xF8u));
    EXPECT_THAT(nowOf(eventOf(SND_SEQ_EVENT_START)), ElementsAre(0xFAu));
    EXPECT_THAT(nowOf(eventOf(SND_SEQ_EVENT_STOP)), ElementsAre(0xFCu));
    EXPECT_THAT(nowOf(eventOf(SND_SEQ_EVENT_SYSEX)), IsEmpty());
    EXPECT_THAT(nowOf(eventOf(SND_SEQ_EVENT_PORT_SUBSCRIBED)), IsEmpty());

    // A 14-bit controller below 32 is its high half, then its low half at
    // controller + 32; from 32 up it is one plain controller.
    EXPECT_THAT(nowOf(controlEvent(SND_SEQ_EVENT_CONTROL14, 2, 0, 3 << 7 | 1)), ElementsAre(0x0300B2u, 0x0120B2u));
    EXPECT_THAT(nowOf(controlEvent(SND_SEQ_EVENT_CONTROL14, 0, 7, 0x3FFF)), ElementsAre(0x7F07B0u, 0x7F27B0u));
    EXPECT_THAT(nowOf(controlEvent(SND_SEQ_EVENT_CONTROL14, 0, 40, 0x15)), ElementsAre(0x1528B0u));
    EXPECT_FALSE(host::midiEventWords(noteEvent(SND_SEQ_EVENT_NOTEON, 0, 36, 1)).noteOff.has_value());
}

// The port takes events from any local client, whatever value they carry.
TEST(MidiEventWords, APitchBendPastTheFourteenBitsBendsFully) {
    const int32_t highest = std::numeric_limits<int32_t>::max();
    const int32_t lowest = std::numeric_limits<int32_t>::min();
    for (const int32_t value : {8191, 8192, 1 << 20, highest - 0x1FFF, highest}) {
        EXPECT_THAT(nowOf(controlEvent(SND_SEQ_EVENT_PITCHBEND, 5, 0, value)), ElementsAre(0x7F7FE5u)) << value;
    }
    for (const int32_t value : {-8192, -8193, -(1 << 20), lowest}) {
        EXPECT_THAT(nowOf(controlEvent(SND_SEQ_EVENT_PITCHBEND, 5, 0, value)), ElementsAre(0x0000E5u)) << value;
    }
    EXPECT_THAT(nowOf(controlEvent(SND_SEQ_EVENT_PITCHBEND, 5, 0, 8190)), ElementsAre(0x7F7EE5u));
}

TEST(MidiEventWords, ANoteWithADurationOwesItsNoteOff) {
    snd_seq_event_t note = noteEvent(SND_SEQ_EVENT_NOTE, 4, 36, 90);
    note.data.note.off_velocity = 20;
    note.data.note.duration = 480;
    const host::MidiEventWords inTicks = host::midiEventWords(note);
    EXPECT_THAT(nowOf(note), ElementsAre(0x5A2494u));
    ASSERT_TRUE(inTicks.noteOff.has_value());
    EXPECT_EQ(inTicks.noteOff->message, 0x142484u);
    EXPECT_EQ(inTicks.noteOff->duration, 480u);
    EXPECT_TRUE(inTicks.noteOff->inTicks);

    snd_seq_real_time_t start{1, 0};
    snd_seq_ev_schedule_real(&note, 0, 0, &start);
    const host::MidiEventWords inTime = host::midiEventWords(note);
    ASSERT_TRUE(inTime.noteOff.has_value());
    EXPECT_FALSE(inTime.noteOff->inTicks) << "the duration counts milliseconds";
}

TEST(MidiIn, OpensOnceAndGoesOnWithoutSequencer) {
    host::MidiIn input;
    const bool opened = input.open(0, [](uint32_t) {});
    EXPECT_FALSE(input.open(0, [](uint32_t) {})) << (opened ? "open already" : "still no sequencer");
}

TEST(MidiIn, APeerPortFeedsNotesAndControllers) {
    snd_seq_t* peer = nullptr;
    if (access("/dev/snd/seq", R_OK | W_OK) != 0 || snd_seq_open(&peer, "default", SND_SEQ_OPEN_OUTPUT, 0) < 0) {
        GTEST_SKIP() << "no ALSA sequencer";
    }
    const int peerPort = snd_seq_create_simple_port(peer, "test out", SND_SEQ_PORT_CAP_READ,
                                                    SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    ASSERT_GE(peerPort, 0);

    std::mutex lock;
    std::vector<uint32_t> received;
    auto count = [&] {
        std::lock_guard<std::mutex> guard(lock);
        return received.size();
    };
    {
        host::MidiIn input;
        ASSERT_TRUE(input.open(-1, [&](uint32_t message) {
            std::lock_guard<std::mutex> guard(lock);
            received.push_back(message);
        }));
        const int vorn = clientNamed(peer, "vorn");
        ASSERT_GE(vorn, 0);
        ASSERT_GE(snd_seq_connect_to(peer, peerPort, vorn, 0), 0);

        snd_seq_event_t noteOn = noteEvent(SND_SEQ_EVENT_NOTEON, 2, 36, 0);
        // A note of 30 ms, then a bank select as one 14-bit controller.
        snd_seq_event_t note = noteEvent(SND_SEQ_EVENT_NOTE, 2, 40, 50);
        note.data.note.duration = 30;
        note.flags = (note.flags & ~SND_SEQ_TIME_STAMP_MASK) | SND_SEQ_TIME_STAMP_REAL;
        snd_seq_event_t bank = controlEvent(SND_SEQ_EVENT_CONTROL14, 2, 0, 1);
        for (snd_seq_event_t* event : {&noteOn, &note, &bank}) {
            snd_seq_ev_set_source(event, peerPort);
            snd_seq_ev_set_subs(event);
            snd_seq_ev_set_direct(event);
            ASSERT_GE(snd_seq_event_output_direct(peer, event), 0);
        }
        for (int i = 0; i < 200 && count() < 5; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    snd_seq_close(peer);
    EXPECT_THAT(received, ElementsAre(0x002492u, 0x322892u, 0x0000B2u, 0x0120B2u, 0x002882u));
}

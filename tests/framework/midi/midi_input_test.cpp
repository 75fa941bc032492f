#include "framework/midi/midi_input.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "engine/core/exception.h"
#include "framework/midi/midi_message_ring.h"
#include "framework/midi/midi_pattern.h"
#include "framework/clock/timer.h"
#include "platform/midi_event_word.h"
#include "platform/ticks.h"
#include "tests/framework/midi/midi_test_listener.h"
#include "tests/temp_folder.h"

namespace {

uint32_t fakeNow = 0;
uint32_t fakeTicks() { return fakeNow; }

constexpr uint32_t kClock = 0xF8;
constexpr uint32_t kStart = 0xFA;

uint32_t noteOn(int note, int velocity = 100) { return 0x90 | note << 8 | velocity << 16; }

class CountingListener : public MidiPatternListener {
public:
    void onNote(int, int, int) override { ++notes; }
    void onSelect(int) override {}
    void onStart(int) override {}
    int notes = 0;
};

class MidiInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        host::setTickSource(fakeTicks);
        fakeNow = 1000;
        Timer::instance().setFixedStep(false);
        Timer::instance().reset();
    }
    void TearDown() override {
        host::setTickSource(nullptr);
        std::remove(recording.c_str());
    }
    void send(std::initializer_list<uint32_t> messages) {
        for (uint32_t message : messages) input.enqueue(message);
        input.update();
    }
    void frameAt(uint32_t sceneTime) {
        fakeNow = 1000 + sceneTime;
        Timer::instance().update();
        input.update();
    }
    void writeRecording(const std::string& text) { std::ofstream(recording, std::ios::binary) << text; }

    // A folder of its own: the tests run side by side, and twice.
    TempFolder folder;
    const std::string recording = folder / "recording.txt";
    std::vector<std::string> log;
    MidiInput input;
};

}  // namespace

TEST_F(MidiInputTest, NotesReachTheListenersOfPatternNoteAndStep) {
    LoggingListener atStep8("A", log), everyStep("B", log), everyNote("C", log), handler("H", log);
    MidiPattern pattern(64, 4, 16, 4);
    pattern.addNote(&atStep8, 36, 8);
    pattern.addNote(&everyStep, 36, -1);
    pattern.setHandler(&handler);
    pattern.addNote(&everyNote, -1, 2);
    pattern.applyTo(input);
    MidiPattern other(65, 4, 16, 4);
    other.addNote(&atStep8, 36, 0);
    other.applyTo(input);

    // Bank 0, program 64, on any channel.
    send({0x0020B3, 0x40C3, kStart, noteOn(36)});
    EXPECT_EQ(log, (std::vector<std::string>{"H select 64", "H start 64"}))
        << "no note before the first step";
    log.clear();

    send({kClock, noteOn(36, 0), 0x402480});
    EXPECT_EQ(log, std::vector<std::string>{"B note 64/36/0"}) << "velocity 0 fires, a note-off never";
    log.clear();

    for (int i = 0; i < 12; ++i) input.enqueue(kClock);
    send({noteOn(36), noteOn(127), 0x00A490, noteOn(35)});
    EXPECT_EQ(log, (std::vector<std::string>{"B note 64/36/2", "C note 64/36/2", "C note 64/127/2",
                                             "C note 64/35/2"}))
        << "a data byte above 127 is no note";
    log.clear();

    for (int i = 0; i < 36; ++i) input.enqueue(kClock);
    send({noteOn(36), noteOn(37)});
    EXPECT_EQ(log, (std::vector<std::string>{"A note 64/36/8", "B note 64/36/8"}));

    MidiPattern outside(64, 4, 16, 4);
    outside.addNote(&atStep8, 128, 0);
    EXPECT_THROW(outside.applyTo(input), zentac::Exception);
    EXPECT_THROW(input.addNoteListener(64, 1, 65, &atStep8), zentac::Exception);
    EXPECT_THROW(input.addNoteListener(256, 1, 0, &atStep8), zentac::Exception);
}

TEST_F(MidiInputTest, ReplaysTheRecordingAgainstTheTimer) {
    LoggingListener listener("X", log);
    MidiPattern pattern(64, 4, 16, 4);
    pattern.addNote(&listener, -1, 0);
    pattern.applyTo(input);
    writeRecording(
        "entries=16\n"
        "time=0\nmididata=0x20B0\ntime=0\nmididata=0x40C0\ntime=0\nmididata=0xFA\ntime=0\nmididata=0xF8\n"
        // A negative time is due at once and holds nothing up.
        "time=-5\nmididata=0x7F2490\n"
        "time=100\nmididata=0x7F2590\n"
        // Earlier than the one before: follows right after it.
        "time=50\nmididata=0x7F2690\n"
        "time=200\nmididata=0x7F2790\n");
    input.loadRecording(recording);

    frameAt(0);
    EXPECT_EQ(log, std::vector<std::string>{"X note 64/36/0"});
    frameAt(99);
    EXPECT_EQ(log.size(), 1u);
    frameAt(150);
    EXPECT_EQ(log, (std::vector<std::string>{"X note 64/36/0", "X note 64/37/0", "X note 64/38/0"}));
    frameAt(100000);
    frameAt(200000);
    EXPECT_EQ(log.size(), 4u) << "the recording plays once";

    MidiInput withoutFile;
    withoutFile.loadRecording("no_such_recording.txt");
    withoutFile.update();
}

TEST_F(MidiInputTest, AFullRingKeepsWhatIsUnread) {
    CountingListener listener;
    MidiPattern pattern(0, 8, 16, 4);
    pattern.addNote(&listener, 36, -1);
    pattern.applyTo(input);
    send({kStart, kClock});

    for (uint32_t i = 0; i < MidiMessageRing::kSlots; ++i) input.enqueue(noteOn(36));
    EXPECT_EQ(input.droppedMessages(), 1u);
    input.update();
    EXPECT_EQ(listener.notes, static_cast<int>(MidiMessageRing::kSlots) - 1);

    // The replay waits for room instead of dropping.
    std::string text = "entries=" + std::to_string(2 * MidiMessageRing::kSlots + 2) + "\n";
    for (uint32_t i = 0; i <= MidiMessageRing::kSlots; ++i) text += "time=0\nmididata=0x402490\n";
    writeRecording(text);
    input.loadRecording(recording);
    listener.notes = 0;
    frameAt(10);
    EXPECT_EQ(listener.notes, static_cast<int>(MidiMessageRing::kSlots) - 1);
    frameAt(20);
    EXPECT_EQ(listener.notes, static_cast<int>(MidiMessageRing::kSlots) + 1);
    EXPECT_EQ(input.droppedMessages(), 1u);
}

// What a sequencer application sends, through the sequencer layer's
// conversion: a bank select as one 14-bit controller and notes with a
// duration.
TEST_F(MidiInputTest, SequencerEventsDriveTheListeners) {
    LoggingListener listener("S", log);
    MidiPattern pattern(129, 4, 16, 4);
    pattern.addNote(&listener, 36, 0);
    pattern.setHandler(&listener);
    pattern.applyTo(input);

    auto sendEvent = [this](snd_seq_event_type_t type, auto fill) {
        snd_seq_event_t event{};
        event.type = type;
        fill(event);
        const host::MidiEventWords words = host::midiEventWords(event);
        for (uint32_t message : words.now()) input.enqueue(message);
    };
    sendEvent(SND_SEQ_EVENT_CONTROL14, [](snd_seq_event_t& event) { event.data.control.value = 1; });
    sendEvent(SND_SEQ_EVENT_PGMCHANGE, [](snd_seq_event_t& event) { event.data.control.value = 1; });
    sendEvent(SND_SEQ_EVENT_START, [](snd_seq_event_t&) {});
    sendEvent(SND_SEQ_EVENT_CLOCK, [](snd_seq_event_t&) {});
    sendEvent(SND_SEQ_EVENT_NOTE, [](snd_seq_event_t& event) {
        event.data.note.note = 36;
        event.data.note.duration = 96;
    });
    input.update();
    EXPECT_EQ(log, (std::vector<std::string>{"S select 129", "S start 129", "S note 129/36/0"}));
}

TEST(MidiMessageRing, TwoWritersAgainstOneReader) {
    constexpr uint32_t kPerWriter = 50000;
    MidiMessageRing ring;
    auto writer = [&ring](uint32_t id) {
        for (uint32_t sequence = 0; sequence < kPerWriter; ++sequence) {
            while (!ring.push(id << 24 | sequence)) std::this_thread::yield();
        }
    };
    std::thread first(writer, 1), second(writer, 2);

    uint32_t next[3] = {0, 0, 0};
    uint32_t received = 0;
    bool inOrder = true;
    while (received < 2 * kPerWriter) {
        ring.drain([&](uint32_t message) {
            const uint32_t id = message >> 24;
            ++received;
            if (id != 1 && id != 2) {
                inOrder = false;
                return;
            }
            inOrder = inOrder && (message & 0xFFFFFF) == next[id];
            ++next[id];
        });
        std::this_thread::yield();
    }
    first.join();
    second.join();
    EXPECT_TRUE(inOrder) << "each writer's messages arrive once and in order";
    EXPECT_EQ(next[1], kPerWriter);
    EXPECT_EQ(next[2], kPerWriter);
}

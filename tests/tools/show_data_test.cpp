#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "framework/input/event_recorder.h"
#include "framework/midi/midi_pattern_listener.h"
#include "framework/midi/midi_recording.h"
#include "framework/midi/pattern_clock.h"
#include "tests/temp_folder.h"
#include "tools/show_data/composition.h"
#include "tools/show_data/events_writer.h"
#include "tools/show_data/instruments.h"
#include "tools/show_data/recording_writer.h"
#include "tools/show_data/show_events.h"

using namespace show_data;

namespace {

constexpr int32_t kFiguresEndMs = 206000;
constexpr int32_t kBlackMs = 580687;

const Composition& composition() {
    static const Composition composed = composeShow();
    return composed;
}

// Pattern starts, as the pattern clock's handlers hear them.
class StartLog : public MidiPatternListener {
public:
    void onNote(int, int, int) override {}
    void onSelect(int) override {}
    void onStart(int pattern) override { starts.emplace_back(pattern, now); }

    int32_t now = 0;
    std::vector<std::pair<int, int32_t>> starts;
};

// Plays the recording through the show's own pattern clock, shaped as the
// figure and pencil scenes shape their patterns, and notes where every
// note-on lands: (pattern, note, step).
struct Playback {
    StartLog log;
    std::set<std::tuple<int, int, int>> notes;
    std::map<int, int32_t> lastSelection;
    bool stoppedAtTheEnd = false;
};

Playback play(const std::vector<RecordedMidiMessage>& messages) {
    Playback playback;
    PatternClock clock;
    for (int pattern = 64; pattern <= 77; ++pattern) {
        clock.setShape(pattern, 4, 16, 4);
        clock.setHandler(pattern, &playback.log);
    }
    for (const RecordedMidiMessage& entry : messages) {
        playback.log.now = entry.time;
        const uint32_t message = entry.message;
        const int data1 = message >> 8 & 0x7F;
        switch (message & 0xF0) {
            case 0x90: playback.notes.emplace(clock.pattern(), data1, clock.step()); break;
            case 0xB0:
                if (data1 == 32) clock.bankSelect(message >> 16 & 0x7F);
                break;
            case 0xC0:
                clock.programChange(data1);
                playback.lastSelection[data1] = entry.time;
                break;
        }
        if (message == 0xF8) clock.tick();
        if (message == 0xFA) clock.start();
        if (message == 0xFC) clock.stop();
        playback.stoppedAtTheEnd = !clock.isRunning();
    }
    return playback;
}

std::vector<RecordedMidiMessage> parsedRecording() {
    const std::string text = formatRecording(composition().messages);
    return parseMidiRecording(text.data(), text.size());
}

// Runs the test in a folder of its own, so that the show's relative paths
// land there.
}  // namespace

TEST(ShowRecording, ReadsBackInTimeOrderAndEndsBeforeTheBlack) {
    const std::vector<RecordedMidiMessage> parsed = parsedRecording();
    const std::vector<TimedMidiMessage>& written = composition().messages;
    ASSERT_EQ(parsed.size(), written.size());
    for (std::size_t i = 0; i < parsed.size(); ++i) {
        ASSERT_EQ(parsed[i].time, written[i].time) << "message " << i;
        ASSERT_EQ(parsed[i].message, written[i].message) << "message " << i;
        if (i > 0) {
            ASSERT_LE(parsed[i - 1].time, parsed[i].time) << "message " << i;
        }
    }
    EXPECT_EQ(parsed.front().time, 0) << "the recording starts with the music";
    EXPECT_LT(parsed.back().time, kBlackMs);
    EXPECT_LT(kBlackMs, composition().lengthMs) << "the music lasts until the picture goes black";
}

TEST(ShowRecording, PlaysTheFigurePatternsThenThePencilPatterns) {
    const Playback playback = play(parsedRecording());

    for (int pattern = 64; pattern <= 69; ++pattern) {
        ASSERT_TRUE(playback.lastSelection.count(pattern)) << pattern;
        EXPECT_LT(playback.lastSelection.at(pattern), kFiguresEndMs) << pattern;
    }
    std::map<int, std::vector<int32_t>> startsOf;
    for (const auto& [pattern, time] : playback.log.starts) startsOf[pattern].push_back(time);
    for (int pattern = 70; pattern <= 77; ++pattern) {
        ASSERT_TRUE(startsOf.count(pattern)) << pattern;
        EXPECT_GE(startsOf[pattern].front(), kFiguresEndMs) << pattern;
    }
    ASSERT_EQ(startsOf[71].size(), 1u) << "the paper's envelopes start once";
    EXPECT_NEAR(startsOf[71].front(), 214000, 2000);
    EXPECT_TRUE(playback.stoppedAtTheEnd);

    // The figure rows that answer the kick (36) or the snare (38) on one
    // step only: the music must play them there.
    const std::vector<std::tuple<int, int, int>> fixedRows = {
        {64, 36, 8},  {64, 38, 30}, {64, 36, 34}, {64, 36, 40}, {65, 36, 7},  {65, 36, 8},
        {65, 36, 34}, {65, 36, 40}, {65, 36, 52}, {65, 36, 56}, {67, 36, 8},  {67, 36, 34},
        {67, 36, 36}, {67, 36, 40}, {67, 36, 52}, {67, 36, 56}, {68, 36, 8},  {68, 36, 34},
        {68, 36, 36}, {68, 36, 40},
    };
    for (const auto& row : fixedRows) {
        EXPECT_TRUE(playback.notes.count(row))
            << "pattern " << std::get<0>(row) << " note " << std::get<1>(row) << " step " << std::get<2>(row);
    }
    // Figure groups from the floor tom, the clap and (in 69) the closed hat,
    // and the pencil scene's low tom in every pencil pattern.
    const std::vector<std::pair<int, int>> anyStepNotes = {
        {65, 41}, {66, 40}, {66, 41}, {67, 40}, {67, 41}, {68, 40}, {68, 41}, {69, 42}, {69, 36},
        {70, 45}, {71, 45}, {71, 38}, {72, 45}, {73, 45}, {74, 45}, {75, 45}, {76, 45}, {77, 45},
    };
    for (const auto& [pattern, note] : anyStepNotes) {
        const bool played = std::any_of(playback.notes.begin(), playback.notes.end(), [&](const auto& hit) {
            return std::get<0>(hit) == pattern && std::get<1>(hit) == note && std::get<2>(hit) >= 0;
        });
        EXPECT_TRUE(played) << "pattern " << pattern << " note " << note;
    }
}

TEST(ShowRecording, OnlyTheDrumsPlayTheNotesTheScenesListenTo) {
    // The scenes ignore channels: a bass or pad note among 36..45 would
    // start figures that no drum was heard for.
    for (const TimedMidiMessage& entry : composition().messages) {
        if ((entry.message & 0xF0) != 0x90) continue;
        const int note = entry.message >> 8 & 0x7F;
        if (note >= 36 && note <= 45) {
            EXPECT_EQ(entry.message & 0x0F, static_cast<uint32_t>(channel::kDrums)) << "at " << entry.time << " ms";
        }
        EXPECT_GT(entry.message >> 16 & 0x7F, 0u) << "a zero velocity would silence the note but still fire";
    }
}

TEST(ShowEvents, LoadBackAsTheShowReadsThem) {
    const std::vector<ShowEvent> events = showEvents(composition());
    TempFolder folder;
    folder.write("data/events.txt", formatEvents(events));
    EventRecorder recorder;
    {
        WorkingDirectory inFolder(folder.path());
        recorder.load();
    }
    ASSERT_EQ(recorder.events().size(), events.size());
    for (std::size_t i = 0; i < events.size(); ++i) {
        EXPECT_EQ(recorder.events()[i].eventId, events[i].triggerId) << i;
        EXPECT_EQ(recorder.events()[i].time, events[i].time) << i;
    }

    // Scene 0's F2 about a second in; then only the main scene's triggers,
    // in time order; the last three a triple Escape right after the black.
    EXPECT_EQ(events.front(), (ShowEvent{2, 1000}));
    for (std::size_t i = 1; i < events.size(); ++i) {
        EXPECT_TRUE(events[i].triggerId == 14 || (events[i].triggerId >= 28 && events[i].triggerId <= 35)) << i;
        if (i > 1) {
            EXPECT_LE(events[i - 1].time, events[i].time) << i;
        }
    }
    ASSERT_GE(events.size(), 4u);
    const auto escapes = events.end() - 3;
    for (auto event = escapes; event != events.end(); ++event) {
        EXPECT_EQ(event->triggerId, 14);
        EXPECT_GE(event->time, kBlackMs);
        EXPECT_LT(event->time - escapes->time, 1000) << "three presses within a second quit";
    }
    EXPECT_EQ(std::count_if(events.begin(), events.end(), [](const ShowEvent& event) { return event.triggerId == 14; }), 3)
        << "no Escape before the end";
}

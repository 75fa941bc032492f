#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
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

constexpr int32_t kBridgeMs = 206000;
constexpr int32_t kPaperMs = 214000;
constexpr int32_t kFinaleMs = 462000;
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

// A note-on as the scenes hear it: the pattern and step it lands on.
struct Hit {
    int32_t time;
    int pattern;
    int note;
    int step;
};

// Plays the recording through the show's own pattern clock, shaped as the
// figure and pencil scenes shape their patterns, and notes where every
// note-on lands.
struct Playback {
    StartLog log;
    std::vector<Hit> hits;
    bool stoppedAtTheEnd = false;

    bool landed(int pattern, int note, int step) const {
        return std::any_of(hits.begin(), hits.end(), [&](const Hit& hit) {
            return hit.pattern == pattern && hit.note == note && hit.step == step;
        });
    }
    std::vector<int32_t> startsOf(int pattern) const {
        std::vector<int32_t> times;
        for (const auto& [started, time] : log.starts) {
            if (started == pattern) times.push_back(time);
        }
        return times;
    }
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
            case 0x90: playback.hits.push_back({entry.time, clock.pattern(), data1, clock.step()}); break;
            case 0xB0:
                if (data1 == 32) clock.bankSelect(message >> 16 & 0x7F);
                break;
            case 0xC0: clock.programChange(data1); break;
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

bool isFigurePattern(int pattern) { return pattern >= 64 && pattern <= 69; }

// Once the stage has turned, the notes that start figures at once: the runs
// of wheels on the kick (66, 67) and on the floor tom (67 to 69).
bool startsFiguresOverThePaper(const Hit& hit) {
    const bool kick = hit.note == 36 && (hit.pattern == 66 || hit.pattern == 67);
    const bool floorTom = hit.note == 41 && hit.pattern >= 67 && hit.pattern <= 69;
    return (kick || floorTom) && hit.step >= 0;
}

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

TEST(ShowRecording, PlaysThePencilPatternsOnceEachInTurnsWithTheFigures) {
    const Playback playback = play(parsedRecording());
    EXPECT_TRUE(playback.stoppedAtTheEnd);

    // The figures alone before the bridge; the bridge and the paper's start
    // once each, the paper's at 214 s, since its start restarts the paper's
    // envelopes.
    for (const auto& [pattern, time] : playback.log.starts) {
        if (time < kBridgeMs) {
            EXPECT_TRUE(isFigurePattern(pattern)) << pattern << " at " << time << " ms";
        }
    }
    ASSERT_EQ(playback.startsOf(70).size(), 1u);
    EXPECT_NEAR(playback.startsOf(70).front(), kBridgeMs, 2000);
    ASSERT_EQ(playback.startsOf(71).size(), 1u) << "the paper's envelopes start once";
    EXPECT_NEAR(playback.startsOf(71).front(), kPaperMs, 2000);

    // A pencil pattern's start wipes pen figures, so 72 to 76 start once,
    // in order. 77's first start begins the shading layer 20 s later, about
    // when the finale begins; a start before that would put the layer off.
    int32_t previous = playback.startsOf(71).front();
    for (int pattern = 72; pattern <= 77; ++pattern) {
        const std::vector<int32_t> starts = playback.startsOf(pattern);
        ASSERT_FALSE(starts.empty()) << pattern;
        EXPECT_GT(starts.front(), previous) << pattern;
        if (pattern < 77) {
            EXPECT_EQ(starts.size(), 1u) << pattern;
        }
        previous = starts.front();
    }
    const std::vector<int32_t> shading = playback.startsOf(77);
    EXPECT_NEAR(shading.front() + 20000, kFinaleMs, 15000);
    for (int32_t again : shading) EXPECT_TRUE(again == shading.front() || again >= shading.front() + 20000) << again;

    // Figure patterns come back between the pencil patterns, for half of
    // the paper's time or more, and start figures at least every 20 s.
    std::vector<std::pair<int32_t, int>> current;
    for (const auto& [pattern, time] : playback.log.starts) current.emplace_back(time, pattern);
    current.emplace_back(kFinaleMs, -1);
    int32_t figureMs = 0;
    for (std::size_t i = 0; i + 1 < current.size(); ++i) {
        const int32_t from = std::max(current[i].first, kPaperMs);
        const int32_t to = std::min(current[i + 1].first, kFinaleMs);
        if (isFigurePattern(current[i].second) && to > from) figureMs += to - from;
    }
    EXPECT_GE(figureMs, (kFinaleMs - kPaperMs) / 2) << figureMs << " ms of figure patterns over the paper";
    int32_t lastFigures = kPaperMs;
    for (const Hit& hit : playback.hits) {
        if (hit.time < kPaperMs || hit.time >= kFinaleMs || !startsFiguresOverThePaper(hit)) continue;
        EXPECT_LE(hit.time - lastFigures, 20000) << "no figures between " << lastFigures << " and " << hit.time;
        lastFigures = hit.time;
    }
    EXPECT_GE(lastFigures, kFinaleMs - 20000);

    // The figure rows that answer the kick (36) or the snare (38) on one
    // step only: the music must play them there.
    const std::vector<std::tuple<int, int, int>> fixedRows = {
        {64, 36, 8},  {64, 38, 30}, {64, 36, 34}, {64, 36, 40}, {65, 36, 7},  {65, 36, 8},
        {65, 36, 34}, {65, 36, 40}, {65, 36, 52}, {65, 36, 56}, {67, 36, 8},  {67, 36, 34},
        {67, 36, 36}, {67, 36, 40}, {67, 36, 52}, {67, 36, 56}, {68, 36, 8},  {68, 36, 34},
        {68, 36, 36}, {68, 36, 40},
    };
    for (const auto& [pattern, note, step] : fixedRows) {
        EXPECT_TRUE(playback.landed(pattern, note, step))
            << "pattern " << pattern << " note " << note << " step " << step;
    }
    // Figure groups from the floor tom, the clap and (in 69) the closed hat,
    // and the pencil scene's low tom in every pencil pattern.
    const std::vector<std::pair<int, int>> anyStepNotes = {
        {65, 41}, {66, 40}, {66, 41}, {67, 40}, {67, 41}, {68, 40}, {68, 41}, {69, 42}, {69, 36},
        {70, 45}, {71, 45}, {71, 38}, {72, 45}, {73, 45}, {74, 45}, {75, 45}, {76, 45}, {77, 45},
    };
    for (const auto& [pattern, note] : anyStepNotes) {
        const bool played = std::any_of(playback.hits.begin(), playback.hits.end(), [&](const Hit& hit) {
            return hit.pattern == pattern && hit.note == note && hit.step >= 0;
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

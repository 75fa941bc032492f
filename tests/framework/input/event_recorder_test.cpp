#include "framework/input/event_recorder.h"
#include "tests/fake_clock.h"
#include "tests/framework/event_list_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace {

using Events = std::vector<std::pair<int, int>>;

Events loaded(const std::string& text) {
    EventListDir dir;
    dir.write(text);
    EventRecorder recorder;
    recorder.load();
    Events events;
    for (const RecordedEvent& e : recorder.events()) events.push_back({e.eventId, e.time});
    return events;
}

}  // namespace

TEST(EventList, ReadsTheRecordFormatWithAnyWhiteSpace) {
    EXPECT_EQ(loaded("eventid = 2\ntime = 500\neventid = 14\ntime = 40\neventid = -1\ntime = -1\n"),
              (Events{{2, 500}, {14, 40}}));
    EXPECT_EQ(loaded("eventid=2\ntime=500\n\n\n   eventid \t=\t 3 time =  +7\r\neventid = 4\r\ntime = 8\r\n"),
              (Events{{2, 500}, {3, 7}, {4, 8}}))
        << "blanks, tabs, blank lines and CRLF all match the format's white space";
    EXPECT_EQ(loaded("\n  eventid = 1\ntime = 2\n"), (Events{{1, 2}})) << "white space before the first record";
    EXPECT_EQ(loaded("eventid = -1\ntime = -1\n"), Events{});
    EXPECT_EQ(loaded(""), Events{});
}

TEST(EventList, StopsAtTheEndRecordOrTheFirstMalformedRecord) {
    EXPECT_EQ(loaded("eventid = 1\ntime = 2\neventid = 5\ntime = -1\neventid = 6\ntime = 7\n"), (Events{{1, 2}}));
    EXPECT_EQ(loaded("eventid = 1\ntime = 2\neventid = -1\ntime = 9\neventid = 6\ntime = 7\n"), (Events{{1, 2}}));
    EXPECT_EQ(loaded("eventid = 1\ntime = 2\neventid = 3\ntime ="), (Events{{1, 2}})) << "cut off inside a record";
    EXPECT_EQ(loaded("eventid = 1\ntime = 2\neventid = 3\n"), (Events{{1, 2}}));
    EXPECT_EQ(loaded("eventid = 1\ntime = 2\neventid = 2147483648\ntime = 0\n"), (Events{{1, 2}}))
        << "a number that does not fit in 32 bits";
    EXPECT_EQ(loaded("eventid = 1\ntime = 99999999999999999999999\n"), Events{});
    EXPECT_EQ(loaded("eventid = -2147483648\ntime = 2147483647\n"), (Events{{-2147483648, 2147483647}}));
    EXPECT_EQ(loaded("eventid = 1\ntime = 2\nevent id = 3\ntime = 4\n"), (Events{{1, 2}}));
    EXPECT_EQ(loaded("eventid = 1x\ntime = 2\n"), Events{});
    EXPECT_EQ(loaded("eventid = -\ntime = 2\n"), Events{});
    const char binary[] = "eventid = 1\ntime = 2\n\0\xff garbage";
    EXPECT_EQ(loaded(std::string(binary, sizeof binary - 1)), (Events{{1, 2}}));
}

TEST(EventList, SaysWhatKeptItFromLoadingWhole) {
    EventListDir dir;
    const auto problem = [&](const std::string& text) {
        dir.write(text);
        return EventRecorder().load();
    };
    EXPECT_EQ(problem("eventid = 1\ntime = 2\neventid = -1\ntime = -1\ngarbage"), "") << "nothing is read past the end";
    EXPECT_EQ(problem("eventid = 1\ntime = 2\n\n  eventid = 3\ntime = x\n"),
              "data/events.txt:4: not an event record; the list ends before it");
    EXPECT_EQ(problem("eventid = 1\ntime = 2\n \n"), "data/events.txt: ends without its end record");
    EXPECT_EQ(problem(""), "data/events.txt: ends without its end record");

    std::filesystem::remove(dir.path() / "data/events.txt");
    EXPECT_EQ(EventRecorder().load(), "data/events.txt: No such file or directory");
    std::filesystem::create_directory(dir.path() / "data/events.txt");
    EXPECT_EQ(EventRecorder().load(), "data/events.txt: cannot be read: Is a directory");
}

using EventClock = FakeClockTest;

TEST_F(EventClock, SavesAndReadsBackThroughATemporaryFile) {
    EventListDir dir;
    EventRecorder empty;
    ASSERT_TRUE(empty.save());
    EXPECT_EQ(dir.read(), "eventid = -1\ntime = -1\n");

    EventRecorder recorder;
    setSceneTime(250);
    recorder.record(77, 3);
    setSceneTime(900);
    recorder.record(77, 12);
    ASSERT_TRUE(recorder.save());
    EXPECT_EQ(dir.read(), "eventid = 3\ntime = 250\neventid = 12\ntime = 900\neventid = -1\ntime = -1\n");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "data/events.txt.tmp"));

    EventRecorder reread;
    reread.load();
    ASSERT_EQ(reread.events().size(), 2u);
    EXPECT_EQ(reread.events()[1].eventId, 12);

    std::filesystem::remove(dir.path() / "data/events.txt");
    EventRecorder none;
    none.load();
    EXPECT_TRUE(none.events().empty()) << "no list, no events";

    std::filesystem::remove_all(dir.path() / "data");
    EXPECT_FALSE(recorder.save()) << "a list that cannot be written is reported";
}

TEST_F(EventClock, EventsFallDueInFileOrderAtTheirSceneTime) {
    EventListDir dir;
    dir.write("eventid = 4\ntime = 100\neventid = 5\ntime = 100\neventid = 6\ntime = 50\n");
    EventRecorder recorder;
    recorder.load();
    EXPECT_FALSE(recorder.due());
    setSceneTime(100);
    ASSERT_TRUE(recorder.due());
    EXPECT_EQ(recorder.next(), 4);
    ASSERT_TRUE(recorder.due()) << "two events at one time fire in the same frame";
    EXPECT_EQ(recorder.next(), 5);
    ASSERT_TRUE(recorder.due()) << "an earlier time than the scene's is due at once";
    EXPECT_EQ(recorder.next(), 6);
    EXPECT_FALSE(recorder.due());
    EXPECT_EQ(recorder.next(), -1) << "nothing past the end";
}

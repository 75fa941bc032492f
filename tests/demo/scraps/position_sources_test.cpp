#include "demo/scraps/position_list.h"
#include "demo/scraps/scribble_source.h"
#include "demo/scraps/stroke_trigger.h"
#include "demo/scraps/texture_set.h"
#include "engine/core/exception.h"
#include "figures/random.h"
#include "tests/fake_clock.h"
#include "tests/figures/draw_count.h"
#include "tests/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

// The text as an exact-size heap block with no terminator, so that any
// read past its end trips the address sanitizer.
std::vector<Vec2> parse(const std::string& text) {
    std::vector<char> bytes(text.begin(), text.end());
    return parsePositions(bytes.data(), bytes.size(), "test.txt");
}

std::string failureOf(const std::string& text) {
    try {
        parse(text);
    } catch (const zentac::Exception& e) {
        return e.Message().Data();
    }
    return "no exception";
}

const std::string kTwoPoints = "positions=2\n\rx=10.5, y=200\n\rx=-3.25, y=7e1\n\r";

}  // namespace

TEST(PositionList, LoadsLfCrFilesMovedByTheOffsetInFileOrder) {
    TempFolder folder;
    WorkingDirectory inFolder(folder.path());
    folder.write("data/points.txt", kTwoPoints);
    PositionList list;
    list.setOffset(50, -60);
    list.load("data/points.txt");
    ASSERT_TRUE(list.hasMore());
    Vec2 first = list.next();
    Vec2 second = list.next();
    EXPECT_FLOAT_EQ(first.x, 60.5f);
    EXPECT_FLOAT_EQ(first.y, 140.0f);
    EXPECT_FLOAT_EQ(second.x, 46.75f);
    EXPECT_FLOAT_EQ(second.y, 10.0f);
    EXPECT_FALSE(list.hasMore()) << "each point is handed out once";
    list.rewind();
    EXPECT_FALSE(list.hasMore()) << "rewinding does not refill it";

    // A second file appends; a file without a header adds nothing.
    folder.write("data/more.txt", "positions=1\n\rx=1, y=2\n\r");
    folder.write("data/headless.txt", "x=1, y=2\n\r");
    list.setOffset(0, 0);
    list.load("data/more.txt");
    list.load("data/headless.txt");
    EXPECT_FLOAT_EQ(list.next().y, 2.0f);
    EXPECT_FALSE(list.hasMore());

    try {
        list.load("data/missing.txt");
        FAIL() << "a missing file must throw";
    } catch (const zentac::Exception& e) {
        EXPECT_NE(std::string(e.Message().Data()).find("data/missing.txt"), std::string::npos);
    }

    // A loaded list asks nothing at shutdown.
    testing::internal::CaptureStderr();
    list.shutdown();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(PositionList, RecordsStrokesAndAsksToSaveOnlyWhenNothingWasLoaded) {
    PositionList recording;
    StrokeTrigger trigger(&recording);
    trigger.trigger(5);
    trigger.trigger();
    EXPECT_EQ(recording.finishedStrokes().size(), 2u);
    testing::internal::CaptureStderr();
    recording.shutdown();
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Save positions?"), std::string::npos);
    EXPECT_EQ(recording.finishedStrokes().size(), 3u);

    StrokeTrigger unbound(nullptr);
    unbound.trigger(1);
}

TEST(PositionList, MalformedFilesFailClearly) {
    EXPECT_EQ(parse("positions=0\n\r").size(), 0u);
    EXPECT_EQ(parse("").size(), 0u);
    EXPECT_EQ(parse("positions=x\n\rx=1, y=2\n\r").size(), 0u) << "a header without a count counts 0";
    EXPECT_EQ(parse("positions=1\n\rx=1,y=2").size(), 1u) << "the last line needs no line end";
    EXPECT_EQ(parse("positions=1\n\rx=1, y=2\n\rx=3, y=4\n\r").size(), 1u) << "lines past the count are ignored";

    EXPECT_NE(failureOf("positions=-1\n\r").find("negative"), std::string::npos);
    EXPECT_NE(failureOf("positions=3\n\rx=1, y=2\n\r").find("ends after 1 of 3 points"), std::string::npos);
    EXPECT_NE(failureOf("positions=99999999999999999999\n\r").find("ends after 0"), std::string::npos);
    // CR LF line ends lose the first letter of every following line.
    EXPECT_NE(failureOf("positions=1\r\nx=1, y=2\r\n").find("point line 1 is malformed"), std::string::npos);
    for (const char* bad : {"positions=1\n\rx=1 y=2\n\r", "positions=1\n\rx=1, y=\n\r", "positions=1\n\rx=inf, y=2\n\r",
                            "positions=1\n\rx=nan, y=2\n\r", "positions=1\n\rx=1, y=1e99\n\r", "positions=1\n\rx=1\n\r, y=2"}) {
        EXPECT_NE(failureOf(bad).find("malformed"), std::string::npos) << bad;
    }
    // A zero byte ends the line: the point is cut short.
    EXPECT_NE(failureOf(std::string("positions=1\n\rx=1,", 17) + '\0' + " y=2\n\r").find("malformed"), std::string::npos);
}

TEST(PositionList, MutatedFilesParseOrThrowWithoutReadingPastTheirEnd) {
    const std::string valid = "positions=4\n\rx=12.5, y=300.25\n\rx=-40, y=0.5\n\rx=1e2, y=2\n\rx=640, y=480\n\r";
    std::mt19937 random(2024);
    int parsed = 0;
    int failed = 0;
    for (int round = 0; round < 4000; ++round) {
        std::string text = valid;
        const int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits && !text.empty(); ++e) {
            const std::size_t at = random() % text.size();
            switch (random() % 4) {
                case 0: text[at] = static_cast<char>(random() % 256); break;
                case 1: text.erase(at, 1 + random() % 6); break;
                case 2: text.insert(at, 1, "0123456789-+.e,=\n\r \0xy"[random() % 22]); break;
                default: text.resize(at); break;
            }
        }
        try {
            const std::vector<Vec2> points = parse(text);
            EXPECT_LE(points.size(), 4u + 9u) << text;
            ++parsed;
        } catch (const zentac::Exception&) {
            ++failed;
        }
    }
    EXPECT_GT(parsed, 100);
    EXPECT_GT(failed, 100);
}

class ScribbleSourceTest : public FakeClockTest {};

TEST_F(ScribbleSourceTest, HandsOutBurstsWithHoldsAndPauses) {
    // The first two draws of construction plan the first pause.
    seedRandom(11);
    const int pauseStart = static_cast<int>(randomRange(5000, 10000));
    const int pauseEnd = static_cast<int>(static_cast<float>(pauseStart) + randomRange(500, 3000));
    seedRandom(11);
    ScribbleSource scribble;

    setSceneTime(1000);
    // A seed whose hold lasts more than a millisecond.
    uint32_t seed = 1;
    int hold = 0;
    while ((seedRandom(seed), hold = static_cast<int>(randomRange(0, 50) + 1000.0f)) <= 1001) ++seed;
    seedRandom(seed);
    for (int i = 0; i < 6; ++i) EXPECT_TRUE(scribble.hasMore()) << i;
    EXPECT_EQ(drawsSince(seed), 1) << "the sixth answer sets the hold";
    scribble.next();
    EXPECT_FALSE(scribble.hasMore());
    setSceneTime(hold - 1);
    EXPECT_FALSE(scribble.hasMore()) << "held";
    setSceneTime(hold);
    EXPECT_TRUE(scribble.hasMore());
    EXPECT_EQ(scribble.next().x, scribble.samples()[1].x);

    setSceneTime(pauseStart + 1);
    EXPECT_FALSE(scribble.hasMore()) << "paused though samples remain";
    setSceneTime(pauseEnd);
    EXPECT_FALSE(scribble.hasMore());
    setSceneTime(pauseEnd + 1);
    EXPECT_TRUE(scribble.hasMore()) << "the next pause is planned and the burst goes on";
}

// Which pictures the sets hold, and in what order, the show replay pins by
// name; the show never picks from an empty set.
TEST(TextureSet, AnEmptySetRefusesToPick) { EXPECT_THROW(TextureSet().randomImage(), zentac::Exception); }

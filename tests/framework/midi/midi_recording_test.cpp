#include "framework/midi/midi_recording.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

// Parses from a heap block of exactly the text's size, so that a read past
// the end trips the address sanitizer.
std::vector<RecordedMidiMessage> parse(const std::string& text) {
    std::vector<char> bytes(text.begin(), text.end());
    return parseMidiRecording(bytes.data(), bytes.size());
}

std::vector<uint32_t> messagesOf(const std::string& text) {
    std::vector<uint32_t> messages;
    for (const RecordedMidiMessage& entry : parse(text)) messages.push_back(entry.message);
    return messages;
}

std::vector<int32_t> timesOf(const std::string& text) {
    std::vector<int32_t> times;
    for (const RecordedMidiMessage& entry : parse(text)) times.push_back(entry.time);
    return times;
}

}  // namespace

TEST(MidiRecording, ReadsPairsAsCountedByEntries) {
    const auto messages = parse("entries=4\ntime=0\nmididata=0x2a4090\r\ntime=125\r\nmididata=0xF8\n");
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].time, 0);
    EXPECT_EQ(messages[0].message, 0x2A4090u);
    EXPECT_EQ(messages[1].time, 125);
    EXPECT_EQ(messages[1].message, 0xF8u);

    EXPECT_EQ(messagesOf("entries=2\ntime=1\nmididata=0x90\ntime=2\nmididata=0x80\n").size(), 1u);
    EXPECT_EQ(messagesOf("entries=3\ntime=1\nmididata=0x90\ntime=2\nmididata=0x80\n").size(), 2u)
        << "an odd count finishes its last pair";
    // The prefixes are skipped by length, not compared.
    EXPECT_EQ(messagesOf("entries=2\nTIME:7\nmidiDATA=0XfA\n"), std::vector<uint32_t>{0xFA});
    EXPECT_EQ(timesOf("entries=2\nTIME:7\nmidiDATA=0XfA\n"), std::vector<int32_t>{7});
}

TEST(MidiRecording, MissingOrMalformedEntriesReadNothing) {
    EXPECT_TRUE(parse("").empty());
    EXPECT_TRUE(parse("time=1\nmididata=0x90\n").empty());
    EXPECT_TRUE(parse("entries=\ntime=1\nmididata=0x90\n").empty());
    EXPECT_TRUE(parse("entries=x2\ntime=1\nmididata=0x90\n").empty());
    EXPECT_TRUE(parse("entries=-4\ntime=1\nmididata=0x90\n").empty());
    EXPECT_TRUE(parse("entries=4").empty());
}

TEST(MidiRecording, StopsWhereTheTextEnds) {
    // Far more entries than lines, and no line feed at the end: the last line
    // is read once, not again for every missing one.
    EXPECT_EQ(messagesOf("entries=2000000000\ntime=1\nmididata=0x90\ntime=2\nmididata=0x80"),
              (std::vector<uint32_t>{0x90, 0x80}));
    EXPECT_EQ(messagesOf("entries=99999999999999\ntime=1\nmididata=0x90\ntime=2\n"), std::vector<uint32_t>{0x90})
        << "a time without its message is no message";
    // A zero byte ends the text.
    std::string withZero = "entries=4\ntime=1\nmididata=0x90\ntime=2";
    withZero += '\0';
    withZero += "\nmididata=0x80\n";
    EXPECT_EQ(messagesOf(withZero), std::vector<uint32_t>{0x90});
    // A short line ends its own prefix instead of reaching into the next.
    EXPECT_EQ(timesOf("entries=4\nti\nmididata=0x90\ntime=3\r\nmid\n"), (std::vector<int32_t>{0, 3}));
    EXPECT_EQ(messagesOf("entries=4\nti\nmididata=0x90\ntime=3\r\nmid\n"), (std::vector<uint32_t>{0x90, 666}));
}

TEST(MidiRecording, ReadsValuesAsStoredRecordingsExpect) {
    auto message = [](const std::string& value) {
        const auto messages = messagesOf("entries=2\ntime=0\nmididata=0x" + value + "\n");
        return messages.empty() ? 0xDEADu : messages[0];
    };
    EXPECT_EQ(message(""), 666u);
    EXPECT_EQ(message("123456789"), 666u) << "more than 8 digits";
    EXPECT_EQ(message("FFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_EQ(message("7f3cB0"), 0x7F3CB0u);
    EXPECT_EQ(message("G90"), 0x90u) << "digits count from the right up to a non-digit";
    EXPECT_EQ(message("90G"), 0u);
    EXPECT_EQ(message("90\r"), 0x90u);

    auto time = [](const std::string& value) {
        const auto times = timesOf("entries=2\ntime=" + value + "\nmididata=0x90\n");
        return times.empty() ? -12345 : times[0];
    };
    EXPECT_EQ(time("  42ms"), 42);
    EXPECT_EQ(time("-250"), -250);
    EXPECT_EQ(time("abc"), 0);
    EXPECT_EQ(time("99999999999999999999"), INT_MAX);
    EXPECT_EQ(time("-99999999999999999999"), INT_MIN);
    EXPECT_EQ(time(std::string(1500, '7')), INT_MAX) << "an over-long value stays in the line";
}

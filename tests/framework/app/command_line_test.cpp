#include "framework/app/command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {
bool windowed(const char* text) {
    CommandLine line(text);
    return line.has("-window") && line.getBool("-window");
}
}  // namespace

TEST(CommandLine, WindowOptionGrammar) {
    EXPECT_FALSE(windowed(""));
    EXPECT_FALSE(windowed("just some words"));
    EXPECT_TRUE(windowed("-window=yes"));
    EXPECT_TRUE(windowed("-window=1"));
    EXPECT_TRUE(windowed("  -window=ON  "));
    EXPECT_FALSE(windowed("-window=Yes"));
    EXPECT_FALSE(windowed("-window="));
    EXPECT_FALSE(windowed("-window"));
    EXPECT_FALSE(windowed("-window=2"));
    EXPECT_FALSE(windowed("-window=0 -window=1")) << "the first value of a name stays";
    EXPECT_TRUE(windowed("-window=1=2")) << "the value ends at the second =";
    EXPECT_FALSE(windowed("-window=1\t-showfps=1")) << "a tab belongs to the word";
}

TEST(CommandLine, OptionWordsNamesAndValues) {
    EXPECT_FALSE(isOptionWord("a="));
    EXPECT_FALSE(isOptionWord("=a"));
    EXPECT_TRUE(isOptionWord("a=b"));
    EXPECT_EQ(indexOfChar('=', ""), -1);
    EXPECT_EQ(indexOfChar('=', "ab=c"), 2);
    EXPECT_EQ(CommandLine::optionName("-showfps=1"), "-showfps");
    EXPECT_EQ(CommandLine::optionValue("-showfps=1"), "1");

    CommandLine line("x=1 -showfps=TRUE other");
    EXPECT_TRUE(line.getBool("-showfps"));
    EXPECT_EQ(line.get("x"), "1");
    EXPECT_EQ(line.get("absent"), "");
    EXPECT_FALSE(line.getBool("absent"));
}

TEST(CommandLine, WordsPastTheLimitAreIgnored) {
    std::string text;
    for (int i = 0; i < CommandLine::maxWords - 1; ++i) text += "w ";
    CommandLine lastFits((text + "-window=1").c_str());
    EXPECT_TRUE(lastFits.getBool("-window"));
    CommandLine oneTooMany((text + "x -window=1").c_str());
    EXPECT_FALSE(oneTooMany.has("-window"));
}

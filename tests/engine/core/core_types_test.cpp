#include "engine/core/exception.h"
#include "engine/core/object.h"
#include "engine/core/string.h"

#include <gtest/gtest.h>

#include <cstring>

using zentac::String;

TEST(String, CapacityGrowsByDoublingAndNulCounts) {
    String empty;
    EXPECT_EQ(empty.Length(), 0);
    EXPECT_EQ(empty.Size(), 1);
    String fromEmpty("");
    EXPECT_EQ(fromEmpty.Size(), 1);
    EXPECT_EQ(fromEmpty.Length(), 0);

    String four("abcd");
    EXPECT_EQ(four.Capacity(), 8);
    EXPECT_EQ(four.Size(), 5);
    String three("abc");
    EXPECT_EQ(three.Capacity(), 4);
    EXPECT_EQ(three.Size(), 4);
    String eight("abcdefgh");
    EXPECT_EQ(eight.Capacity(), 16);
    EXPECT_EQ(eight.Size(), 9);

    eight = "x";
    EXPECT_EQ(eight.Capacity(), 16);
    EXPECT_EQ(eight.Size(), 2);
    EXPECT_STREQ(eight.Data(), "x");
}

TEST(String, CopyAssignAppendAndConcatenate) {
    String source("hello");
    String copy(source);
    EXPECT_EQ(copy.Capacity(), 6);
    EXPECT_STREQ(copy.Data(), "hello");

    String target("a much longer text than hello");
    target = source;
    EXPECT_EQ(target.Capacity(), 6);
    EXPECT_STREQ(target.Data(), "hello");

    String path("data/");
    path += String("audio/vorn.txt");
    EXPECT_STREQ(path.Data(), "data/audio/vorn.txt");
    EXPECT_EQ(path.Length(), 19);
    path += 'x';
    EXPECT_STREQ(path.Data(), "data/audio/vorn.txtx");

    String joined = String("ab") + String("cde");
    EXPECT_STREQ(joined.Data(), "abcde");
    EXPECT_EQ(joined.Capacity(), 6);
    EXPECT_EQ(joined.Size(), 6);
}

TEST(String, MidClampsAndRejectsOutOfRange) {
    String text("abcdef");
    EXPECT_STREQ(text.Mid(2, 100).Data(), "cdef");
    EXPECT_EQ(text.Mid(2, 100).Capacity(), 5);
    EXPECT_EQ(text.Mid(6, 1).Length(), 0);
    EXPECT_EQ(text.Mid(-1, 3).Length(), 0);
    EXPECT_EQ(text.Mid(0, 0).Length(), 0);
}

TEST(String, EqualityExactAndIgnoringBitFive) {
    EXPECT_TRUE(String::Equal(String("PNG"), String("png"), false));
    EXPECT_FALSE(String::Equal(String("PNG"), String("png"), true));
    EXPECT_TRUE(String::Equal(String("\x41\x40"), String("\x61\x60"), false));
    EXPECT_FALSE(String::Equal(String("png"), String("pngx"), false));
    EXPECT_TRUE(String::Equal(String(), String(""), true));
    EXPECT_TRUE(String::Equal(String(), String(""), false));
}

TEST(String, ExtensionAndCaseInsensitiveSearch) {
    EXPECT_STREQ(zentac::GetExtension("data/a.b/pic.png").Data(), "png");
    EXPECT_STREQ(zentac::GetExtension("dir.d/file").Data(), "d/file");
    EXPECT_EQ(zentac::GetExtension("README").Length(), 0);
    EXPECT_EQ(zentac::GetExtension("name.").Length(), 0);

    const char* text = "archive.ZIP/inner.png";
    EXPECT_EQ(zentac::FindNoCase(text, ".zip"), text + 7);
    EXPECT_EQ(zentac::FindNoCase(text, ""), text);
    EXPECT_EQ(zentac::FindNoCase(text, ".pngx"), nullptr);
    EXPECT_EQ(zentac::FindNoCase("", "a"), nullptr);
}

namespace {
struct Probe : zentac::Object {
    explicit Probe(bool* deleted) : deleted_(deleted) {}
    ~Probe() override { *deleted_ = true; }
    bool* deleted_;
};
}  // namespace

TEST(Object, ReleaseDeletesWithTheLastReference) {
    bool deleted = false;
    auto* probe = new Probe(&deleted);
    EXPECT_EQ(probe->RefCount(), 1);
    probe->AddRef();
    probe->Release();
    EXPECT_FALSE(deleted);
    EXPECT_EQ(probe->RefCount(), 1);
    probe->Release();
    EXPECT_TRUE(deleted);
}

TEST(Exception, CarriesItsThrowSite) {
    try {
        ZENTAC_THROW("broken pack");
        FAIL();
    } catch (const zentac::Exception& e) {
        zentac::Exception copy(e);
        EXPECT_STREQ(copy.Message().Data(), "broken pack");
        EXPECT_STREQ(copy.Function().Data(), "Unknown function");
        EXPECT_NE(std::strstr(copy.File().Data(), "core_types_test.cpp"), nullptr);
        EXPECT_GT(copy.Line(), 0);
    }
}

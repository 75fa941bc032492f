#include "engine/core/exception.h"
#include "engine/files/file_codec.h"
#include "engine/files/file_stream.h"
#include "engine/files/folder_codec.h"
#include "engine/files/memory_stream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/temp_folder.h"

using zentac::FileCodec;
using zentac::FileStream;
using zentac::Stream;
using zentac::String;

namespace {

std::string Contents(Stream& stream) {
    std::string text(stream.Size(), '\0');
    stream.Seek(0, zentac::kSeekSet);
    text.resize(stream.Read(text.data(), static_cast<int32_t>(text.size())));
    return text;
}

// A member of the fake archive format holds the text of its container, '>'
// and the path it was opened by, so the opened levels can be read back.
class FakeMember : public zentac::MemoryStream {
public:
    static inline int live = 0;

    explicit FakeMember(const std::string& text)
        : MemoryStream(Copy(text), static_cast<int32_t>(text.size())) {
        ++live;
    }
    ~FakeMember() override { --live; }

private:
    static uint8_t* Copy(const std::string& text) {
        uint8_t* block = new uint8_t[text.size()];
        std::memcpy(block, text.data(), text.size());
        return block;
    }
};

// Reference counts of the containers the fake codec was handed.
std::vector<int> openCounts;
std::vector<int> probeCounts;

Stream* FakeOpen(Stream* container, const String& path, int32_t mode, const char*) {
    openCounts.push_back(container->RefCount());
    Stream* member = nullptr;
    if (mode == zentac::kModeRead && !std::strstr(path.Data(), "missing")) {
        member = new FakeMember(Contents(*container) + ">" + path.Data());
    }
    container->Release();
    return member;
}

// Entries whose last part starts with "folder" are folders.
bool FakeIsDirectory(Stream* container, const String& path) {
    probeCounts.push_back(container->RefCount());
    container->Release();
    const char* slash = std::strrchr(path.Data(), '/');
    return std::strncmp(slash ? slash + 1 : path.Data(), "folder", 6) == 0;
}

zentac::StringArray FakeList(Stream* container, const String&) {
    container->Release();
    return {};
}

const FileCodec& FakeCodec() {
    static const String names[] = {String("fak"), String("fk2")};
    static const FileCodec codec = {2, names, FakeOpen, FakeList, FakeIsDirectory};
    static const bool registered = (zentac::RegisterFileCodec(codec), true);
    (void)registered;
    return codec;
}

bool IsFake(const FileCodec& codec) { return codec.names == FakeCodec().names; }

std::string OpenedText(const std::string& name) {
    FileStream stream(name.c_str(), zentac::kModeRead);
    return Contents(stream);
}

std::string Failure(const std::string& name) {
    try {
        FileStream stream(name.c_str(), zentac::kModeRead);
    } catch (const zentac::Exception& error) {
        return error.Message().Data();
    }
    return "opened";
}

}  // namespace

TEST(ArchivePath, SplitsAtTheFirstArchiveFollowedByASeparator) {
    FakeCodec();
    TempFolder folder;
    std::filesystem::create_directories(folder.path() / "real.fak");
    const FileCodec& disk = zentac::FolderCodecInfo();
    auto split = [&](const std::string& path) {
        int32_t at = 0;
        FileCodec codec = zentac::FindArchiveInPath(nullptr, disk, path.c_str(), at);
        EXPECT_EQ(IsFake(codec), at != -1) << path;
        return at;
    };
    EXPECT_EQ(split("data/pack.fak/a.png"), 13);
    EXPECT_EQ(split("data\\pack.FAK\\a.png"), 13);
    EXPECT_EQ(split("a.fk2/b.fak/c.png"), 5);
    EXPECT_EQ(split("a.fak.fk2/c.png"), 9);
    EXPECT_EQ(split("data/file.fakper/a.png"), -1);
    EXPECT_EQ(split("data/a.fak"), -1);
    EXPECT_EQ(split("data/a.fa"), -1);
    EXPECT_EQ(split(""), -1);
    // A real folder named like an archive is taken for an archive.
    std::string real = folder / "real.fak/c.png";
    EXPECT_EQ(split(real), static_cast<int32_t>(real.size()) - 6);

    ASSERT_NE(zentac::FindFileCodec("FK2"), nullptr);
    EXPECT_TRUE(IsFake(*zentac::FindFileCodec("FK2")));
    EXPECT_EQ(zentac::FindFileCodec("fk"), nullptr);
    EXPECT_EQ(zentac::FindFileCodec(""), nullptr);
}

TEST(ArchivePath, OpensNestedArchivesLevelByLevelAndReleasesEveryOne) {
    FakeCodec();
    TempFolder folder;
    std::string outer = folder.write("outer.fak", "DISK");
    folder.write("real.fak/c.png", "plain");
    openCounts.clear();
    probeCounts.clear();

    Stream* container = nullptr;
    String path((outer + "/inner.fk2/c.png").c_str());
    FileCodec codec = zentac::ResolveFileCodec(container, path);
    EXPECT_TRUE(IsFake(codec));
    EXPECT_STREQ(path.Data(), "c.png");
    ASSERT_NE(container, nullptr);
    EXPECT_EQ(Contents(*container), "DISK>inner.fk2");
    EXPECT_EQ(container->RefCount(), 1);
    EXPECT_EQ(FakeMember::live, 1);
    container->Release();
    EXPECT_EQ(FakeMember::live, 0);

    EXPECT_EQ(OpenedText(outer + "/inner.fk2/c.png"), "DISK>inner.fk2>c.png");
    EXPECT_EQ(OpenedText(outer + "\\inner.FK2\\c.png"), "DISK>inner.FK2>c.png");
    // Folders named like archives are taken for archives, inside one or on disk.
    EXPECT_EQ(OpenedText(outer + "/folder.fk2/c.png"), "DISK>folder.fk2>c.png");
    EXPECT_EQ(Failure(folder / "real.fak/c.png"), "cannot access file: " + folder / "real.fak");
    EXPECT_EQ(FakeMember::live, 0);
    // Each codec call gets the one reference its caller handed over; probes
    // get one more beside the reference the resolution keeps.
    ASSERT_FALSE(openCounts.empty());
    ASSERT_FALSE(probeCounts.empty());
    for (int count : openCounts) EXPECT_EQ(count, 1);
    for (int count : probeCounts) EXPECT_EQ(count, 2);

    EXPECT_EQ(Failure(folder / "missing.fak/c.png"), "cannot access file: " + folder / "missing.fak");
    EXPECT_EQ(Failure(outer + "/missing.fk2/c.png"), "cannot access file: missing.fk2");
    EXPECT_EQ(Failure(outer + "/inner.fk2/missing.png"), "cannot access file: " + outer + "/inner.fk2/missing.png");
    EXPECT_EQ(FakeMember::live, 0);
}

TEST(ArchivePath, FolderListingShowsArchivesAsFolders) {
    FakeCodec();
    TempFolder folder;
    folder.write("x.png", "");
    folder.write("Xa.txt", "");
    folder.write("y.FAK", "");
    std::filesystem::create_directories(folder.path() / "sub");
    auto list = [](const std::string& path) {
        std::vector<std::string> names;
        for (const String& name : zentac::ListFolder(nullptr, path.c_str())) names.emplace_back(name.Data());
        return names;
    };
    EXPECT_EQ(list(folder / ""), (std::vector<std::string>{"Xa.txt", "sub/", "x.png", "y.FAK/"}));
    EXPECT_EQ(list(folder / "x"), (std::vector<std::string>{"Xa.txt", "x.png"}));
    EXPECT_TRUE(list(folder / "none/").empty());
}

#include "engine/core/exception.h"
#include "engine/files/file_codec.h"
#include "engine/files/file_codec_zip.h"
#include "engine/files/file_stream.h"
#include "engine/files/folder_codec.h"
#include "engine/files/memory_stream.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "tests/engine/image/codec_test_helpers.h"
#include "tests/temp_folder.h"
#include "tests/zip_writer.h"

using zentac::Stream;

namespace {

using Bytes = std::vector<uint8_t>;

// An archive handed to the codec, which must release it on every path.
class Archive : public zentac::MemoryStream {
public:
    static inline int live = 0;

    explicit Archive(const Bytes& bytes) : MemoryStream(Copy(bytes), static_cast<int32_t>(bytes.size())) { ++live; }
    ~Archive() override { --live; }

private:
    static uint8_t* Copy(const Bytes& bytes) {
        uint8_t* block = new uint8_t[bytes.size()];
        if (!bytes.empty()) std::memcpy(block, bytes.data(), bytes.size());
        return block;
    }
};

std::string Contents(Stream& stream) {
    std::string text(stream.Size(), '\0');
    stream.Seek(0, zentac::kSeekSet);
    text.resize(stream.Read(text.data(), static_cast<int32_t>(text.size())));
    return text;
}

// The member's text, "null" when the codec refuses it, or the message
// of the engine's exception.
std::string Open(const Bytes& archive, const std::string& path, const char* password = "",
                 int32_t mode = zentac::kModeRead) {
    try {
        std::unique_ptr<Stream> member(zentac::OpenZipEntry(new Archive(archive), path.c_str(), mode, password));
        return member ? Contents(*member) : "null";
    } catch (const zentac::Exception& error) {
        return error.Message().Data();
    }
}

std::vector<std::string> List(const Bytes& archive, const std::string& path) {
    std::vector<std::string> names;
    for (const zentac::String& name : zentac::ListZipDirectory(new Archive(archive), path.c_str())) {
        names.emplace_back(name.Data());
    }
    return names;
}

bool IsDirectory(const Bytes& archive, const std::string& path) {
    return zentac::IsZipDirectory(new Archive(archive), path.c_str());
}

std::string FileText(const std::string& name) {
    try {
        zentac::FileStream stream(name.c_str(), zentac::kModeRead);
        return Contents(stream);
    } catch (const zentac::Exception& error) {
        return error.Message().Data();
    }
}

// Pencil-like sample data: compresses, but not to nothing.
Bytes Sample(size_t size, uint32_t seed) {
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i) {
        seed = seed * 214013 + 2531011;
        bytes[i] = static_cast<uint8_t>(i / 64 + (seed >> 16 & 7));
    }
    return bytes;
}

std::string Text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// Offset of the central directory record of the member with this index.
size_t CentralRecord(const Bytes& archive, int index) {
    for (size_t at = 0; at + 4 <= archive.size(); ++at) {
        if (archive[at] == 0x50 && archive[at + 1] == 0x4B && archive[at + 2] == 1 && archive[at + 3] == 2 &&
            index-- == 0) {
            return at;
        }
    }
    ADD_FAILURE() << "no central record";
    return 0;
}

uint32_t Le(const Bytes& bytes, size_t at, int width) {
    uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i) value = value << 8 | bytes[at + i];
    return value;
}

// Offset of the data of the member with this index.
size_t MemberData(const Bytes& archive, int index) {
    size_t local = Le(archive, CentralRecord(archive, index) + 42, 4);
    return local + 30 + Le(archive, local + 26, 2) + Le(archive, local + 28, 2);
}

void Put32(Bytes& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

TEST(ZipArchive, OpensStoredDeflatedAndNestedMembersThroughFilePaths) {
    Bytes picture = Sample(20000, 7);
    TestZip inner;
    inner.add("deep/c.txt", "graphite on paper", 8);
    TestZip outer;
    outer.comment = "a trailing comment PK";
    outer.add("a.png", picture, 8)
        .add("images/A.PNG", "upper case")
        .add("images\\b.png", "back slash")
        .add("inner.zip", inner.bytes())
        .add("inner.pk3", inner.bytes(), 8);
    outer.members[1].extra = "xtra field";
    TempFolder folder;
    std::string pack = folder.write("data/pack.zip", outer.bytes());

    EXPECT_TRUE(FileText(pack + "/a.png") == Text(picture));
    EXPECT_EQ(FileText(pack + "/images/a.png"), "upper case");
    EXPECT_EQ(FileText(folder / "data\\pack.zip\\images\\b.png"), "back slash");
    EXPECT_EQ(FileText(pack + "/images/b.png"), "cannot access file: " + pack + "/images/b.png");
    EXPECT_EQ(FileText(pack + "/inner.zip/deep/c.txt"), "graphite on paper");
    EXPECT_EQ(FileText(pack + "/inner.pk3/DEEP/C.TXT"), "graphite on paper");
    EXPECT_EQ(FileText(pack + "/missing.zip/c.txt"), "cannot access file: missing.zip");
    // Archives list like folders.
    std::vector<std::string> listed;
    for (const zentac::String& name : zentac::ListFolder(nullptr, (folder / "data/").c_str())) {
        listed.emplace_back(name.Data());
    }
    EXPECT_EQ(listed, std::vector<std::string>{"pack.zip/"});

    zentac::FileStream stream((pack + "/a.png").c_str(), zentac::kModeRead);
    EXPECT_EQ(stream.Size(), 20000);
    uint8_t piece[100];
    stream.Seek(4090, zentac::kSeekSet);
    ASSERT_EQ(stream.Read(piece, 100), 100);
    EXPECT_EQ(0, std::memcmp(piece, picture.data() + 4090, 100));
}

TEST(ZipArchive, RefusesWhatItCannotReadAndReleasesTheArchiveOnEveryPath) {
    TestZip zip;
    zip.add("stored.txt", "stored").add("deflated.txt", Sample(3000, 1), 8).add("empty.txt", "");
    zip.add("shrunk.bin", "method twelve", 12);
    zip.add("streamed.txt", "written by a streaming writer", 8).members.back().sizesBehindData = true;
    zip.add("streamed-stored.txt", "stored and streamed").members.back().sizesBehindData = true;
    Bytes good = zip.bytes();

    EXPECT_EQ(Open(good, "stored.txt"), "stored");
    EXPECT_EQ(Open(good, "STORED.TXT"), "stored");
    EXPECT_TRUE(Open(good, "deflated.txt") == Text(Sample(3000, 1)));
    EXPECT_EQ(Open(good, "streamed.txt"), "written by a streaming writer");
    EXPECT_EQ(Open(good, "streamed-stored.txt"), "stored and streamed");
    EXPECT_EQ(Open(good, "empty.txt"), "null");
    EXPECT_EQ(Open(good, "shrunk.bin"), "null");
    EXPECT_EQ(Open(good, "missing.txt"), "null");
    EXPECT_EQ(Open(good, "/stored.txt"), "null");
    EXPECT_EQ(Open(good, "stored.txt", "", zentac::kModeWrite), "null");
    EXPECT_EQ(Open(good, "stored.txt", "", zentac::kModeReadWrite), "null");
    EXPECT_EQ(zentac::OpenZipEntry(nullptr, "stored.txt", zentac::kModeRead, ""), nullptr);

    // Nothing to open: too short, no end record, an empty archive.
    EXPECT_EQ(Open({}, "stored.txt"), "null");
    EXPECT_EQ(Open(Bytes(21, 0), "stored.txt"), "null");
    EXPECT_EQ(Open(Sample(5000, 3), "stored.txt"), "null");
    Bytes emptyArchive = TestZip().bytes();
    EXPECT_EQ(emptyArchive.size(), 22u);
    EXPECT_EQ(Open(emptyArchive, "stored.txt"), "null");
    EXPECT_TRUE(List(emptyArchive, "").empty());

    TestZip spanning = zip;
    spanning.diskNumber = 1;
    EXPECT_EQ(Open(spanning.bytes(), "stored.txt"), "null");

    Bytes crcMismatch = good;
    crcMismatch[MemberData(good, 0)] ^= 1;
    EXPECT_EQ(Open(crcMismatch, "stored.txt"), "null");

    // A stored member that claims more bytes than it holds would read past them.
    Bytes overlong = good;
    Put32(overlong, CentralRecord(good, 0) + 24, 7);
    EXPECT_EQ(Open(overlong, "stored.txt"), "null");

    // Sizes no deflate stream of that length can reach are not allocated.
    for (uint32_t claim : {0xFFFFFFFFu, 0x7FFFFFFFu, 8000000u}) {
        Bytes bomb = good;
        Put32(bomb, CentralRecord(good, 1) + 24, claim);
        EXPECT_EQ(Open(bomb, "deflated.txt"), "null") << claim;
    }
    Bytes tooSmall = good;
    Put32(tooSmall, CentralRecord(good, 1) + 24, 2000);
    EXPECT_EQ(Open(tooSmall, "deflated.txt"), "ZIP file decompression failed (buffer error).");
    Bytes badDeflate = good;
    badDeflate[MemberData(good, 1)] = 0xFF;  // a block of the reserved type 3
    EXPECT_EQ(Open(badDeflate, "deflated.txt"), "ZIP file decompression failed (data error).");

    Bytes localMismatch = good;
    Put32(localMismatch, 18, 5);
    EXPECT_EQ(Open(localMismatch, "stored.txt"), "null");
    Bytes badLocal = good;
    badLocal[0] = 'X';
    EXPECT_EQ(Open(badLocal, "stored.txt"), "ZIP decoder, incorrect LocalFileHeader.");
    Bytes farLocal = good;
    Put32(farLocal, CentralRecord(good, 0) + 42, static_cast<uint32_t>(good.size() - 10));
    EXPECT_EQ(Open(farLocal, "stored.txt"), "ZIP decoder, incorrect LocalFileHeader.");
    Bytes badCentral = good;
    badCentral[CentralRecord(good, 2)] = 'X';
    EXPECT_EQ(Open(badCentral, "stored.txt"), "ZIP decoder, incorrect DirFileHeader.");
    Bytes longName = good;
    longName[CentralRecord(good, 5) + 28] = 0xFF;
    longName[CentralRecord(good, 5) + 29] = 0xFF;
    EXPECT_EQ(Open(longName, "stored.txt"), "ZIP decoder, incorrect DirFileHeader.");

    EXPECT_EQ(Archive::live, 0);
}

TEST(ZipArchive, DecryptsTraditionallyEncryptedMembersWithTheRightPassword) {
    TestZip zip;
    zip.add("stored.txt", "a secret sketch");
    zip.add("deflated.bin", Sample(5000, 9), 8);
    zip.add("old.txt", "made by an old writer");
    zip.add("streamed.txt", "encrypted and streamed", 8);
    for (TestZip::Member& member : zip.members) member.password = "pencil";
    zip.members[2].versionMadeBy = 10;  // checks two bytes of the CRC-32
    zip.members[3].sizesBehindData = true;  // checks the time instead
    Bytes archive = zip.bytes();

    EXPECT_EQ(Open(archive, "stored.txt", "pencil"), "a secret sketch");
    EXPECT_TRUE(Open(archive, "deflated.bin", "pencil") == Text(Sample(5000, 9)));
    EXPECT_EQ(Open(archive, "old.txt", "pencil"), "made by an old writer");
    EXPECT_EQ(Open(archive, "streamed.txt", "pencil"), "encrypted and streamed");
    for (const char* wrong : {"Pencil", "pencil ", "", static_cast<const char*>(nullptr)}) {
        for (const char* name : {"stored.txt", "deflated.bin", "old.txt"}) {
            EXPECT_EQ(Open(archive, name, wrong), "null") << name << " " << (wrong ? wrong : "(none)");
        }
    }

    // The show opens files with an empty archive password.
    TempFolder folder;
    std::string path = folder.write("secret.zip", archive) + "/stored.txt";
    EXPECT_EQ(FileText(path), "cannot access file: " + path);
    EXPECT_EQ(Archive::live, 0);
}

// Cross-check against the zip tool when it is installed: deflate, storing,
// encryption and members streamed from standard input.
TEST(ZipArchive, ReadsArchivesOfTheZipTool) {
    if (std::system("command -v zip >/dev/null 2>&1") != 0) GTEST_SKIP() << "no zip tool";
    TempFolder folder;
    folder.write("in/text.txt", Text(Sample(30000, 4)));
    folder.write("in/sub/tiny.txt", "tiny");
    std::string in = folder / "in";
    std::string command = "cd '" + in + "' && zip -q -r ../plain.zip text.txt sub" +
                          " && zip -q -0 -P pencil ../locked.zip text.txt" +
                          " && zip -q -fz- -P pencil - - < text.txt > ../streamed.zip";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::string text = Text(Sample(30000, 4));
    EXPECT_TRUE(FileText(folder / "plain.zip/text.txt") == text);
    EXPECT_EQ(FileText(folder / "plain.zip/sub/tiny.txt"), "tiny");
    auto read = [&](const std::string& archive, const std::string& name, const char* password) {
        std::ifstream file(folder / archive, std::ios::binary);
        return Open(Bytes(std::istreambuf_iterator<char>(file), {}), name, password);
    };
    EXPECT_TRUE(read("locked.zip", "text.txt", "pencil") == text);
    EXPECT_EQ(read("locked.zip", "text.txt", "eraser"), "null");
    EXPECT_TRUE(read("streamed.zip", "-", "pencil") == text);
}

TEST(ZipArchive, ListsFoldersAndTellsThemFromFiles) {
    TestZip zip;
    for (const char* name : {"dir/", "dir/a.png", "dir/sub/", "dir/sub/b.png", "dir/c.zip", "other/x/y.png", "Dirt.png",
                             "top.pk3"}) {
        zip.add(name, "x");
    }
    Bytes archive = zip.bytes();
    using Names = std::vector<std::string>;
    EXPECT_EQ(List(archive, "dir/"), (Names{"a.png", "sub/", "c.zip/"}));
    EXPECT_EQ(List(archive, "DIR/"), (Names{"a.png", "sub/", "c.zip/"}));
    EXPECT_EQ(List(archive, ""), (Names{"dir/", "other/", "Dirt.png", "top.pk3/"}));
    EXPECT_EQ(List(archive, "dir/s"), (Names{"sub/"}));
    EXPECT_EQ(List(archive, "other/"), (Names{"x/"}));
    EXPECT_TRUE(List(archive, "none/").empty());
    EXPECT_TRUE(List(Sample(100, 2), "").empty());

    for (const char* folder : {"dir", "dir/", "DIR", "dir/sub", "other", "other/x"}) {
        EXPECT_TRUE(IsDirectory(archive, folder)) << folder;
    }
    for (const char* file : {"dir/a.png", "Dirt.png", "di", "dir/a", "missing", "top.pk3"}) {
        EXPECT_FALSE(IsDirectory(archive, file)) << file;
    }
    EXPECT_FALSE(IsDirectory(Sample(100, 2), "dir"));
    EXPECT_FALSE(zentac::IsZipDirectory(nullptr, "dir"));
    EXPECT_EQ(Archive::live, 0);
}

// Every byte flipped and every length cut, in a plain archive and in one
// nested inside another: the codec answers or throws the engine's
// exception, and never reads outside its buffers (the sanitizers watch).
TEST(ZipArchive, SurvivesDamageAnywhere) {
    TestZip zip;
    zip.comment = "comment";
    zip.add("dir/stored.txt", "stored text").add("dir/deflated.bin", Sample(700, 5), 8);
    zip.add("locked.txt", "locked", 8).members.back().password = "pencil";
    zip.add("streamed.txt", "streamed", 8).members.back().sizesBehindData = true;
    zip.members[0].extra = "extra";
    Bytes good = zip.bytes();
    const char* names[] = {"dir/stored.txt", "dir/deflated.bin", "locked.txt", "streamed.txt"};
    const std::string texts[] = {"stored text", Text(Sample(700, 5)), "locked", "streamed"};

    int intact = 0;
    auto exercise = [&](const Bytes& archive) {
        for (int i = 0; i < 4; ++i) {
            if (Open(archive, names[i], "pencil") == texts[i]) ++intact;
        }
        try {
            List(archive, "dir/");
            IsDirectory(archive, "dir");
        } catch (const zentac::Exception&) {
        }
    };
    codec_test::ForEachFlip(good, 0, exercise);
    for (size_t length = 0; length < good.size(); ++length) exercise(Bytes(good.begin(), good.begin() + length));
    // Fields set to their extremes, a few at a time.
    uint32_t seed = 42;
    for (int round = 0; round < 3000; ++round) {
        Bytes damaged = good;
        for (int change = 0; change < 3; ++change) {
            seed = seed * 214013 + 2531011;
            size_t at = (seed >> 8) % (damaged.size() - 3);
            Put32(damaged, at, seed & 0x100 ? 0xFFFFFFFF : (seed & 0x200 ? 0 : 0x7FFFFFFF));
        }
        exercise(damaged);
    }
    // Damage to the comment or to other members leaves a member readable.
    EXPECT_GT(intact, 0);

    // The inner archive damaged, the outer one intact around it.
    auto nested = [&](const Bytes& innerBytes) {
        TestZip outer;
        outer.add("inner.zip", innerBytes);
        Bytes outerBytes = outer.bytes();
        for (const char* name : names) {
            try {
                Stream* inner = zentac::OpenZipEntry(new Archive(outerBytes), "inner.zip", zentac::kModeRead, "");
                std::unique_ptr<Stream> member(zentac::OpenZipEntry(inner, name, zentac::kModeRead, "pencil"));
                if (member) Contents(*member);
            } catch (const zentac::Exception&) {
            }
        }
    };
    codec_test::ForEachFlip(good, 0, nested);
    EXPECT_EQ(Archive::live, 0);
}

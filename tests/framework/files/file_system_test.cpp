#include "framework/files/disk_file_provider.h"
#include "framework/files/file_system.h"
#include "framework/files/pack_file_provider.h"

#include "engine/core/exception.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "tests/temp_folder.h"

namespace {

// Runs the pack tool in the folder, as the show's data build does.
int Pack(const TempFolder& folder, const std::string& arguments) {
    std::string command = "cd '" + folder.path().string() + "' && '" VORN_PACK_TOOL "' " + arguments + " >/dev/null 2>&1";
    return std::system(command.c_str());
}

// Reads what is left of the stream and deletes it.
std::string Drain(zentac::Stream* stream) {
    std::unique_ptr<zentac::Stream> owned(stream);
    if (!owned) return "<none>";
    std::string text(std::max(owned->Size() - owned->Tell(), 0), '\0');
    text.resize(std::max(owned->Read(text.data(), static_cast<int32_t>(text.size())), 0));
    return text;
}

std::string Message(const zentac::Exception& error) { return error.Message().Data(); }

std::vector<uint8_t> ReadBytes(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Makes the working directory the test's folder while it lives.
std::string Binary() {
    std::string bytes;
    for (int i = 0; i < 3 * 256; ++i) bytes += static_cast<char>(i * 31);
    return bytes;
}

}  // namespace

TEST(PackFileProvider, RoundTripsAFolderThroughThePackTool) {
    TempFolder folder;
    folder.write("data/bg.png", Binary());
    folder.write("data/sub/v.txt", "vertices");
    folder.write("data/empty.bin", "");
    folder.write("data/res.vorn", "the previous pack");
    ASSERT_EQ(Pack(folder, "data/res.vorn data"), 0);

    PackFileProvider pack(folder / "data/res.vorn");
    EXPECT_EQ(Drain(pack.open("data/bg.png")), Binary());
    EXPECT_EQ(Drain(pack.open("data/sub/v.txt")), "vertices");
    EXPECT_TRUE(pack.exists("data/empty.bin"));
    EXPECT_EQ(Drain(pack.open("data/empty.bin")), "");
    // The old pack inside the packed folder is not packed again.
    EXPECT_FALSE(pack.exists("data/res.vorn"));
    for (const char* near : {"data/BG.png", "data\\bg.png", "bg.png", "./data/bg.png", "data/bg.png "}) {
        EXPECT_FALSE(pack.exists(near)) << near;
        EXPECT_EQ(pack.open(near), nullptr) << near;
    }

    // Entry streams are independent and never change the pack's bytes.
    std::unique_ptr<zentac::Stream> first(pack.open("data/sub/v.txt"));
    std::unique_ptr<zentac::Stream> second(pack.open("data/sub/v.txt"));
    char head[4] = {};
    EXPECT_EQ(first->Read(head, 3), 3);
    EXPECT_EQ(second->Tell(), 0);
    first->Seek(0, zentac::kSeekSet);
    EXPECT_EQ(first->Write("VERTICES-AND-MORE", 17), 17);
    EXPECT_EQ(Drain(first.release()), "");
    EXPECT_EQ(Drain(second.release()), "vertices");
    EXPECT_EQ(Drain(pack.open("data/sub/v.txt")), "vertices");

    folder.write("odd/a b.txt", "x");
    EXPECT_NE(Pack(folder, "odd.vorn odd"), 0);
    EXPECT_NE(Pack(folder, "none.vorn nothing-here"), 0);
    EXPECT_NE(Pack(folder, "twice.vorn data/sub data/sub/v.txt"), 0);
}

TEST(PackFileProvider, MissingPackIsEmptyAndDamagedPackFailsWhenReached) {
    TempFolder folder;
    PackFileProvider missing(folder / "none.vorn");
    EXPECT_FALSE(missing.exists("data/bg.png"));
    EXPECT_EQ(missing.open("data/bg.png"), nullptr);

    PackFileProvider damaged(folder.write("damaged.vorn", "$$$kestrune$$$v1.0 Entries=1 Size=3 entry=a 0 3 xyz"));
    try {
        damaged.exists("a");
        FAIL();
    } catch (const zentac::Exception& error) {
        EXPECT_EQ(Message(error), "zlib uncompression failed.");
    }

    PackFileProvider folderPack(folder.path().string());
    EXPECT_FALSE(folderPack.exists("a"));
}

TEST(FileSystem, LooseFileWinsAndThePackIsReadOnlyWhenNeeded) {
    TempFolder folder;
    folder.write("data/bg.png", "packed");
    folder.write("data/only.png", "only packed");
    ASSERT_EQ(Pack(folder, "data/res.vorn data"), 0);
    folder.write("data/bg.png", "loose");
    std::filesystem::remove(folder.path() / "data/only.png");
    folder.write("data/broken.vorn", "not a pack");
    WorkingDirectory inFolder(folder.path());

    FileSystem files;
    files.addProvider(std::make_unique<PackFileProvider>("data/res.vorn"));
    EXPECT_EQ(Drain(files.open("data/bg.png")), "loose");
    EXPECT_EQ(Drain(files.open("data/only.png")), "only packed");
    EXPECT_TRUE(files.exists("data/only.png"));
    EXPECT_FALSE(files.exists("data/none.png"));
    EXPECT_EQ(files.open("data/none.png"), nullptr);
    // A folder is not a loose file.
    EXPECT_FALSE(files.exists("data"));

    FileSystem withBrokenPack;
    withBrokenPack.addProvider(std::make_unique<PackFileProvider>("data/broken.vorn"));
    EXPECT_EQ(Drain(withBrokenPack.open("data/bg.png")), "loose");
    try {
        withBrokenPack.open("data/none.png");
        FAIL();
    } catch (const zentac::Exception& error) {
        EXPECT_EQ(Message(error), "resource pack data/broken.vorn: bad entry count");
    }

    EXPECT_EQ(&FileSystem::instance(), &FileSystem::instance());
    EXPECT_EQ(Drain(FileSystem::instance().open("data/bg.png")), "loose");
}

TEST(PackFileProvider, ReadsTheHeaderAsScanfDoesWhateverItsFirstWord) {
    TempFolder folder;
    folder.write("data/bg.png", Binary());
    folder.write("data/sub/v.txt", "vertices");
    ASSERT_EQ(Pack(folder, "data/res.vorn data"), 0);
    const std::vector<uint8_t> valid = ReadBytes(folder / "data/res.vorn");
    // The tool's header: the magic word, the counts and each entry, each on a line.
    auto headerEnd = valid.begin();
    for (int line = 0; line < 2 + 2; ++line) headerEnd = std::find(headerEnd, valid.end(), '\n') + 1;
    std::istringstream tokens(std::string(valid.begin(), headerEnd));
    std::vector<std::string> words{std::istream_iterator<std::string>(tokens), std::istream_iterator<std::string>()};
    ASSERT_EQ(words.size(), 1u + 2 + 3 * 2);

    // Another magic word; white space and a plus sign before every number
    // and every name.
    std::string header = "$$$other-pack$$$v0.1";
    for (size_t i = 1; i < words.size(); ++i) {
        const std::string& word = words[i];
        size_t value = word.find('=') + 1;  // 0 for a bare number
        bool isNumber = std::isdigit(static_cast<unsigned char>(word[value]));
        header += " \t\r\n" + word.substr(0, value) + (value ? " \t" : "") + (isNumber ? "+" : "") + word.substr(value);
    }
    header += "\n";
    std::filesystem::remove_all(folder.path() / "data");
    std::vector<uint8_t> changed(header.begin(), header.end());
    changed.insert(changed.end(), headerEnd, valid.end());
    folder.write("data/res.vorn", changed);
    WorkingDirectory inFolder(folder.path());

    // Only the pack has the files.
    FileSystem files;
    files.addProvider(std::make_unique<PackFileProvider>("data/res.vorn"));
    EXPECT_EQ(Drain(files.open("data/bg.png")), Binary());
    EXPECT_EQ(Drain(files.open("data/sub/v.txt")), "vertices");

    // A sign must stand right before the digits, as for scanf.
    for (const char* count : {"Entries=+-2", "Entries=+ 2", "Entries=- 2", "Entries= Size=0"}) {
        PackFileProvider pack(folder.write("bad.vorn", "magic " + std::string(count) + " Size=0 "));
        try {
            pack.exists("data/bg.png");
            ADD_FAILURE() << count;
        } catch (const zentac::Exception& error) {
            EXPECT_TRUE(Message(error).ends_with(": bad entry count")) << count << ": " << Message(error);
        }
    }
}

TEST(PackFileProvider, EveryDamageToAValidPackEndsInAnErrorOrAnInBoundsRead) {
    TempFolder folder;
    folder.write("data/a.txt", std::string(300, 'a') + "tail");
    folder.write("data/b.bin", Binary());
    folder.write("data/c.txt", "c");
    ASSERT_EQ(Pack(folder, "data/res.vorn data"), 0);
    const std::vector<std::string> names = {"data/a.txt", "data/b.bin", "data/c.txt"};
    const std::string everything = std::string(300, 'a') + "tail" + Binary() + "c";
    const std::vector<uint8_t> valid = ReadBytes(folder / "data/res.vorn");

    std::vector<std::vector<uint8_t>> damaged;
    for (size_t length = 0; length < valid.size(); ++length) damaged.emplace_back(valid.begin(), valid.begin() + length);
    for (size_t i = 0; i < valid.size(); ++i) {
        damaged.push_back(valid);
        damaged.back()[i] ^= 0xFF;
    }
    // Every number of the header set to 0, -1 and beyond any sane value.
    // The tool ends the magic, the counts and each entry with a line feed.
    auto headerEnd = valid.begin();
    for (size_t line = 0; line < 2 + names.size(); ++line) headerEnd = std::find(headerEnd, valid.end(), '\n') + 1;
    const std::string header(valid.begin(), headerEnd);
    for (size_t at = 0; at < header.size(); ++at) {
        bool startsNumber = std::isdigit(static_cast<unsigned char>(header[at])) &&
                            (at == 0 || !std::isdigit(static_cast<unsigned char>(header[at - 1])));
        if (!startsNumber) continue;
        size_t end = header.find_first_not_of("0123456789", at);
        for (const char* value : {"0", "-1", "+2147483647", "-2147483648", "-2147483649", "+99999999999", "+-1"}) {
            std::string changed = header.substr(0, at) + value + header.substr(end);
            damaged.emplace_back(changed.begin(), changed.end());
            damaged.back().insert(damaged.back().end(), valid.begin() + header.size(), valid.end());
        }
    }
    std::string longMagic = "$$$kestrune$$$v1.0" + std::string(100, '$') + header.substr(18);
    damaged.emplace_back(longMagic.begin(), longMagic.end());
    damaged.back().insert(damaged.back().end(), valid.begin() + header.size(), valid.end());

    int errors = 0;
    int reads = 0;
    for (size_t i = 0; i < damaged.size(); ++i) {
        std::string path = folder.write("damaged.vorn", damaged[i]);
        PackFileProvider pack(path);
        try {
            for (const std::string& name : names) {
                if (!pack.exists(name)) continue;
                std::unique_ptr<zentac::Stream> stream(pack.open(name));
                std::string bytes(stream->Size(), '\0');
                ASSERT_EQ(stream->Read(bytes.data(), stream->Size()), stream->Size()) << i;
                // Whatever an entry reads lies within the unpacked bytes.
                ASSERT_NE(everything.find(bytes), std::string::npos) << "case " << i << " " << name;
                ++reads;
            }
        } catch (const zentac::Exception& error) {
            std::string message = Message(error);
            EXPECT_TRUE(message == "zlib uncompression failed." || message.starts_with("resource pack " + path + ": "))
                << "case " << i << ": " << message;
            ++errors;
        }
    }
    EXPECT_GT(errors, static_cast<int>(valid.size()));
    EXPECT_GT(reads, 0);
}

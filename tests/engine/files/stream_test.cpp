#include "engine/core/exception.h"
#include "engine/files/file_stream.h"
#include "engine/files/folder_codec.h"
#include "engine/files/memory_stream.h"
#include "engine/files/uncompress.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/temp_folder.h"

using zentac::FileStream;
using zentac::MemoryStream;
using zentac::Stream;

namespace {

uint8_t* NewBlock(int32_t size, uint8_t first = 0) {
    uint8_t* block = new uint8_t[size];
    for (int32_t i = 0; i < size; ++i) block[i] = static_cast<uint8_t>(first + i);
    return block;
}

// Bytes whose value tells their position, so a wrong offset shows.
std::vector<uint8_t> Numbered(int32_t size) {
    std::vector<uint8_t> bytes(size);
    for (int32_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 256);
    return bytes;
}

std::string ReadText(Stream& stream) {
    std::string text(stream.Size(), '\0');
    stream.Seek(0, zentac::kSeekSet);
    text.resize(stream.Read(text.data(), static_cast<int32_t>(text.size())));
    return text;
}

}  // namespace

TEST(MemoryStream, ReadsSeeksAndGrowsByAQuarterPlusTheRequest) {
    MemoryStream stream(NewBlock(10), 10);
    uint8_t buffer[16] = {};
    EXPECT_EQ(stream.Seek(3, zentac::kSeekEnd), 7);
    EXPECT_EQ(stream.Seek(1, zentac::kSeekCurrent), 8);
    EXPECT_EQ(stream.Seek(5, 9), 8);
    EXPECT_EQ(stream.Read(buffer, 5), 2);
    EXPECT_EQ(buffer[0], 8);
    EXPECT_EQ(buffer[1], 9);
    EXPECT_EQ(stream.Read(buffer, 5), 0);
    EXPECT_TRUE(stream.IsEof());
    EXPECT_EQ(stream.Write(buffer, 0), 0);

    const uint8_t more[4] = {0xA, 0xB, 0xC, 0xD};
    EXPECT_EQ(stream.Seek(0, zentac::kSeekEnd), 10);
    EXPECT_EQ(stream.Write(more, 4), 4);
    EXPECT_EQ(stream.Capacity(), 16);
    EXPECT_EQ(stream.Size(), 14);
    EXPECT_EQ(stream.Tell(), 14);
    EXPECT_EQ(stream.Data()[0], 0);
    EXPECT_EQ(stream.Data()[13], 0xD);
}

TEST(MemoryStream, NeverReachesOutsideItsBlock) {
    MemoryStream stream(NewBlock(10, 1), 10);
    uint8_t buffer[8] = {};
    // Negative positions are refused, so reads stay within the block.
    EXPECT_EQ(stream.Seek(-1, zentac::kSeekSet), 0);
    EXPECT_EQ(stream.Seek(11, zentac::kSeekEnd), 0);
    EXPECT_EQ(stream.Seek(5, zentac::kSeekSet), 5);
    EXPECT_EQ(stream.Seek(-6, zentac::kSeekCurrent), 5);
    EXPECT_EQ(stream.Seek(0x7FFFFFFF, zentac::kSeekCurrent), 5);
    EXPECT_EQ(stream.Seek(100, zentac::kSeekSet), 100);
    EXPECT_EQ(stream.Read(buffer, 8), 0);
    EXPECT_EQ(stream.Read(buffer, -3), 0);

    // A write behind the end grows to hold it and clears the gap.
    const uint8_t tail[3] = {7, 8, 9};
    EXPECT_EQ(stream.Write(tail, 3), 3);
    EXPECT_EQ(stream.Size(), 103);
    EXPECT_GE(stream.Capacity(), 103);
    for (int i = 10; i < 100; ++i) ASSERT_EQ(stream.Data()[i], 0) << i;
    EXPECT_EQ(stream.Data()[102], 9);

    // Within the capacity but behind the size, the gap is cleared as well.
    EXPECT_EQ(stream.Write(tail, 1), 1);
    int32_t size = stream.Size();
    ASSERT_GT(stream.Capacity(), size + 2);
    stream.Seek(size + 2, zentac::kSeekSet);
    EXPECT_EQ(stream.Write(tail, 1), 1);
    EXPECT_EQ(stream.Data()[size], 0);
    EXPECT_EQ(stream.Data()[size + 1], 0);
    EXPECT_EQ(stream.Data()[size + 2], 7);

    EXPECT_EQ(stream.Seek(0x7FFFFFFF, zentac::kSeekSet), 0x7FFFFFFF);
    EXPECT_EQ(stream.Write(tail, 3), 0);
}

TEST(MemoryStream, LentBytesAreCopiedBeforeTheFirstWrite) {
    const std::vector<uint8_t> lent = {1, 2, 3, 4};
    {
        MemoryStream stream(lent.data(), 4, MemoryStream::Borrow{});
        uint8_t read[4] = {};
        EXPECT_EQ(stream.Read(read, 4), 4);
        EXPECT_EQ(read[3], 4);
        EXPECT_EQ(stream.Data(), lent.data());
        const uint8_t nine = 9;
        stream.Seek(1, zentac::kSeekSet);
        EXPECT_EQ(stream.Write(&nine, 1), 1);
        EXPECT_NE(stream.Data(), lent.data());
        EXPECT_EQ(stream.Data()[0], 1);
        EXPECT_EQ(stream.Data()[1], 9);
        EXPECT_EQ(stream.Data()[3], 4);
    }
    EXPECT_EQ(lent, (std::vector<uint8_t>{1, 2, 3, 4}));
}

TEST(FileStream, ServesSmallReadsFromOneCachedBlock) {
    TempFolder folder;
    std::vector<uint8_t> bytes = Numbered(3 * FileStream::kBlockSize + 100);
    std::string name = folder.write("blocks.bin", bytes);
    FileStream stream(name.c_str(), zentac::kModeRead);
    EXPECT_STREQ(stream.Name().Data(), name.c_str());
    EXPECT_EQ(stream.Size(), static_cast<int32_t>(bytes.size()));
    EXPECT_EQ(stream.CachedBlock(), -1);

    std::vector<uint8_t> buffer(6000);
    stream.Seek(4090, zentac::kSeekSet);
    EXPECT_EQ(stream.Read(buffer.data(), 100), 100);
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + 100, bytes.begin() + 4090));
    EXPECT_EQ(stream.CachedBlock(), 1);
    EXPECT_EQ(stream.Tell(), 4190);

    EXPECT_EQ(stream.Read(buffer.data(), 5000), 5000);
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + 5000, bytes.begin() + 4190));
    EXPECT_EQ(stream.CachedBlock(), -1);

    // The last block is short: only bytes up to the size are handed out.
    stream.Seek(10, zentac::kSeekEnd);
    EXPECT_EQ(stream.Read(buffer.data(), 4096), 10);
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + 10, bytes.end() - 10));
    EXPECT_TRUE(stream.IsEof());
    EXPECT_EQ(stream.Read(buffer.data(), 1), 0);

    EXPECT_EQ(stream.Seek(-1, zentac::kSeekSet), stream.Size());
    EXPECT_EQ(stream.Seek(-2 * stream.Size(), zentac::kSeekCurrent), stream.Size());
}

TEST(FileStream, CountsOnlyBytesReallyReadAndWritten) {
    TempFolder folder;
    std::string name = folder.write("shrinks.bin", Numbered(9000));
    FileStream stream(name.c_str(), zentac::kModeRead);
    std::filesystem::resize_file(name, 5000);
    std::vector<uint8_t> buffer(9000);
    stream.Seek(4000, zentac::kSeekSet);
    EXPECT_EQ(stream.Read(buffer.data(), 2000), 1000);
    EXPECT_EQ(stream.Tell(), 5000);
    stream.Seek(0, zentac::kSeekSet);
    EXPECT_EQ(stream.Read(buffer.data(), 9000), 5000);
    EXPECT_EQ(stream.Tell(), 5000);

    std::string created = folder / "new.bin";
    {
        FileStream writer(created.c_str(), zentac::kModeWrite);
        EXPECT_TRUE(writer.IsEof());
        EXPECT_EQ(writer.Write("abcdef", 6), 6);
        EXPECT_EQ(writer.Size(), 6);
        EXPECT_EQ(writer.Read(buffer.data(), 6), 0);
    }
    {
        // A write after a block read lands at the stream's position, and
        // the next read sees it.
        FileStream both(created.c_str(), zentac::kModeReadWrite);
        char read[4] = {};
        EXPECT_EQ(both.Read(read, 2), 2);
        EXPECT_EQ(both.Write("XY", 2), 2);
        both.Seek(0, zentac::kSeekSet);
        EXPECT_EQ(both.Read(read, 3), 3);
        EXPECT_STREQ(read, "abX");
    }
    MemoryStream written(created.c_str());
    EXPECT_EQ(ReadText(written), "abXYef");
}

TEST(FolderCodec, OpensAndProbesDiskFiles) {
    TempFolder folder;
    folder.write("list/x.png", "0123456789");
    std::filesystem::create_directories(folder.path() / "list/sub");
    std::string list = folder / "list/";

    const zentac::FileCodec& codec = zentac::FolderCodecInfo();
    EXPECT_EQ(codec.Open(nullptr, (list + "x.png").c_str(), 4, ""), nullptr);
    EXPECT_EQ(codec.Open(nullptr, (list + "none.png").c_str(), zentac::kModeRead, ""), nullptr);
    EXPECT_EQ(codec.Open(nullptr, (list + "sub").c_str(), zentac::kModeRead, ""), nullptr);
    // Sizes are 32-bit: a file of 2 GiB does not open (sparse, so cheap).
    std::string big = folder.write("big.bin", "");
    std::filesystem::resize_file(big, 0x80000000ull);
    EXPECT_EQ(codec.Open(nullptr, big.c_str(), zentac::kModeRead, ""), nullptr);
    std::filesystem::resize_file(big, 0x7FFFFFFFull);
    std::unique_ptr<Stream> largest(codec.Open(nullptr, big.c_str(), zentac::kModeRead, ""));
    ASSERT_NE(largest, nullptr);
    EXPECT_EQ(largest->Size(), 0x7FFFFFFF);

    std::string backslashed = list + "x.png";
    backslashed[backslashed.size() - 6] = '\\';
    std::unique_ptr<Stream> file(codec.Open(nullptr, backslashed.c_str(), zentac::kModeRead, ""));
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(file->IsOpen());
    EXPECT_EQ(file->Size(), 10);
    EXPECT_EQ(file->Seek(3, zentac::kSeekEnd), 7);
    char tail[4] = {};
    EXPECT_EQ(file->Read(tail, 4), 3);
    EXPECT_STREQ(tail, "789");
    EXPECT_TRUE(file->IsEof());
    EXPECT_EQ(file->Seek(-100, zentac::kSeekCurrent), 10);
    EXPECT_EQ(file->Seek(2, 7), 10);

    EXPECT_TRUE(codec.IsDirectory(nullptr, (list + "sub").c_str()));
    EXPECT_FALSE(codec.IsDirectory(nullptr, (list + "x.png").c_str()));
}

TEST(Uncompress, InflatesAndReportsZlibErrors) {
    const std::string text(1000, 'q');
    uLongf packedLength = compressBound(text.size());
    std::vector<uint8_t> packed(packedLength);
    ASSERT_EQ(compress(packed.data(), &packedLength, reinterpret_cast<const Bytef*>(text.data()), text.size()), Z_OK);
    std::vector<uint8_t> out(2000);
    EXPECT_EQ(zentac::Uncompress(out.data(), 2000, packed.data(), static_cast<int32_t>(packedLength)), 1000);
    EXPECT_EQ(std::string(out.begin(), out.begin() + 1000), text);

    auto failure = [&](int32_t capacity, int32_t length) {
        try {
            zentac::Uncompress(out.data(), capacity, packed.data(), length);
        } catch (const zentac::Exception& error) {
            return std::string(error.Message().Data());
        }
        return std::string("no error");
    };
    EXPECT_EQ(failure(999, static_cast<int32_t>(packedLength)), "zlib uncompression failed.");
    packed[packedLength / 2] ^= 0xFF;
    EXPECT_EQ(failure(2000, static_cast<int32_t>(packedLength)), "zlib uncompression failed.");
}

#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

// A ZIP archive written from scratch, for tests that need exact control over
// every record: methods, traditional encryption, data descriptors, extra
// fields, version numbers, disk numbers and the archive comment.
struct TestZip {
    struct Member {
        std::string name;
        std::vector<uint8_t> bytes;
        uint16_t method = 0;          // 8 deflates; any other value stores the bytes under that number
        std::string password;         // encrypts when not empty
        bool sizesBehindData = false;  // zero local sizes and a data descriptor behind the data
        uint16_t versionMadeBy = 20;
        uint16_t modificationTime = 0x6B2A;
        std::string extra;
    };
    std::vector<Member> members;
    std::string comment;
    uint16_t diskNumber = 0;

    TestZip& add(const std::string& name, const std::vector<uint8_t>& bytes, uint16_t method = 0) {
        Member& member = members.emplace_back();
        member.name = name;
        member.bytes = bytes;
        member.method = method;
        return *this;
    }
    TestZip& add(const std::string& name, const std::string& text, uint16_t method = 0) {
        return add(name, std::vector<uint8_t>(text.begin(), text.end()), method);
    }

    std::vector<uint8_t> bytes() const {
        std::vector<uint8_t> archive;
        std::vector<uint8_t> directory;
        for (const Member& member : members) {
            uint32_t crc = static_cast<uint32_t>(crc32(0, member.bytes.data(), static_cast<uInt>(member.bytes.size())));
            std::vector<uint8_t> packed = member.method == 8 ? deflateRaw(member.bytes) : member.bytes;
            if (!member.password.empty()) packed = encrypt(member, crc, packed);
            uint16_t flags = (member.password.empty() ? 0 : 1) | (member.sizesBehindData ? 8 : 0);
            uint32_t localOffset = static_cast<uint32_t>(archive.size());
            uint32_t size = static_cast<uint32_t>(member.bytes.size());
            uint32_t packedSize = static_cast<uint32_t>(packed.size());
            bool zeroLocal = member.sizesBehindData;

            put32(archive, 0x04034B50);
            put16(archive, 20);
            put16(archive, flags);
            put16(archive, member.method);
            put16(archive, member.modificationTime);
            put16(archive, 0x5A21);
            put32(archive, zeroLocal ? 0 : crc);
            put32(archive, zeroLocal ? 0 : packedSize);
            put32(archive, zeroLocal ? 0 : size);
            put16(archive, static_cast<uint16_t>(member.name.size()));
            put16(archive, static_cast<uint16_t>(member.extra.size()));
            archive.insert(archive.end(), member.name.begin(), member.name.end());
            archive.insert(archive.end(), member.extra.begin(), member.extra.end());
            archive.insert(archive.end(), packed.begin(), packed.end());
            if (zeroLocal) {
                put32(archive, 0x08074B50);
                put32(archive, crc);
                put32(archive, packedSize);
                put32(archive, size);
            }

            put32(directory, 0x02014B50);
            put16(directory, member.versionMadeBy);
            put16(directory, 20);
            put16(directory, flags);
            put16(directory, member.method);
            put16(directory, member.modificationTime);
            put16(directory, 0x5A21);
            put32(directory, crc);
            put32(directory, packedSize);
            put32(directory, size);
            put16(directory, static_cast<uint16_t>(member.name.size()));
            put16(directory, static_cast<uint16_t>(member.extra.size()));
            put16(directory, 0);
            put16(directory, 0);
            put16(directory, 0);
            put32(directory, 0);
            put32(directory, localOffset);
            directory.insert(directory.end(), member.name.begin(), member.name.end());
            directory.insert(directory.end(), member.extra.begin(), member.extra.end());
        }
        uint32_t directoryOffset = static_cast<uint32_t>(archive.size());
        archive.insert(archive.end(), directory.begin(), directory.end());
        put32(archive, 0x06054B50);
        put16(archive, diskNumber);
        put16(archive, diskNumber);
        put16(archive, static_cast<uint16_t>(members.size()));
        put16(archive, static_cast<uint16_t>(members.size()));
        put32(archive, static_cast<uint32_t>(directory.size()));
        put32(archive, directoryOffset);
        put16(archive, static_cast<uint16_t>(comment.size()));
        archive.insert(archive.end(), comment.begin(), comment.end());
        return archive;
    }

    static void put16(std::vector<uint8_t>& out, uint16_t value) {
        out.push_back(static_cast<uint8_t>(value));
        out.push_back(static_cast<uint8_t>(value >> 8));
    }
    static void put32(std::vector<uint8_t>& out, uint32_t value) {
        put16(out, static_cast<uint16_t>(value));
        put16(out, static_cast<uint16_t>(value >> 16));
    }

    static std::vector<uint8_t> deflateRaw(const std::vector<uint8_t>& bytes) {
        z_stream stream{};
        deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
        std::vector<uint8_t> packed(deflateBound(&stream, static_cast<uLong>(bytes.size())));
        stream.next_in = const_cast<Bytef*>(bytes.data());
        stream.avail_in = static_cast<uInt>(bytes.size());
        stream.next_out = packed.data();
        stream.avail_out = static_cast<uInt>(packed.size());
        deflate(&stream, Z_FINISH);
        packed.resize(stream.total_out);
        deflateEnd(&stream);
        return packed;
    }

private:
    // The keys of the traditional encryption, stepped with zlib's CRC-32 of
    // one byte (the CRC update without zlib's pre- and post-inversion).
    struct Keys {
        uint32_t k0 = 0x12345678, k1 = 0x23456789, k2 = 0x34567890;
        static uint32_t crcByte(uint32_t crc, uint8_t byte) {
            return ~static_cast<uint32_t>(crc32(~crc & 0xFFFFFFFFu, &byte, 1));
        }
        void update(uint8_t plain) {
            k0 = crcByte(k0, plain);
            k1 = (k1 + (k0 & 0xFF)) * 134775813u + 1;
            k2 = crcByte(k2, static_cast<uint8_t>(k1 >> 24));
        }
        uint8_t encrypt(uint8_t plain) {
            uint32_t t = (k2 | 2) & 0xFFFF;
            uint8_t cipher = plain ^ static_cast<uint8_t>((t * (t ^ 1)) >> 8);
            update(plain);
            return cipher;
        }
    };

    static std::vector<uint8_t> encrypt(const Member& member, uint32_t crc, const std::vector<uint8_t>& packed) {
        std::vector<uint8_t> plain;
        for (int i = 0; i < 10; ++i) plain.push_back(static_cast<uint8_t>(0x3C + 17 * i));
        plain.push_back(member.versionMadeBy < 20 ? static_cast<uint8_t>(crc >> 16) : 0x5E);
        plain.push_back(member.sizesBehindData ? static_cast<uint8_t>(member.modificationTime >> 8)
                                               : static_cast<uint8_t>(crc >> 24));
        plain.insert(plain.end(), packed.begin(), packed.end());
        Keys keys;
        for (char c : member.password) keys.update(static_cast<uint8_t>(c));
        for (uint8_t& byte : plain) byte = keys.encrypt(byte);
        return plain;
    }
};

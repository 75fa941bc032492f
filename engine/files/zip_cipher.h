#pragma once

#include <cstdint>

namespace zentac {

// The traditional PKWARE encryption of ZIP members: three keys set up from
// the password and stepped by every plain byte.
class ZipCipher {
public:
    explicit ZipCipher(const char* password);

    // Decrypts in place; the keys run on from one call to the next, as the
    // encryption header and the data follow each other.
    void Decrypt(uint8_t* bytes, int32_t count);

private:
    void UpdateKeys(uint8_t plain);

    uint32_t key0_ = 0x12345678;
    uint32_t key1_ = 0x23456789;
    uint32_t key2_ = 0x34567890;
};

}  // namespace zentac

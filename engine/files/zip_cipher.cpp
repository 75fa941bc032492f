#include "engine/files/zip_cipher.h"

#include <zlib.h>

namespace zentac {

namespace {

uint32_t CrcStep(uint32_t crc, uint8_t byte) {
    static const z_crc_t* const table = get_crc_table();
    return table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
}

}  // namespace

ZipCipher::ZipCipher(const char* password) {
    for (const char* c = password; *c; ++c) UpdateKeys(static_cast<uint8_t>(*c));
}

void ZipCipher::Decrypt(uint8_t* bytes, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        uint32_t mix = (key2_ | 2) & 0xFFFF;
        bytes[i] ^= static_cast<uint8_t>((mix * (mix ^ 1)) >> 8);
        UpdateKeys(bytes[i]);
    }
}

void ZipCipher::UpdateKeys(uint8_t plain) {
    key0_ = CrcStep(key0_, plain);
    key1_ = (key1_ + (key0_ & 0xFF)) * 134775813 + 1;
    key2_ = CrcStep(key2_, static_cast<uint8_t>(key1_ >> 24));
}

}  // namespace zentac

#include "framework/render/blend_table.h"

namespace {
BlendTable makeBlendTable() {
    // a / 255.0 * b in double: a dozen exact products (147 * 85 / 255) land just
    // below their integer and truncate one lower, which blending tolerates.
    const double divisor = static_cast<double>(255.0f);
    BlendTable table{};
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            table[a][b] = static_cast<uint8_t>(static_cast<double>(a) / divisor * static_cast<double>(b));
        }
    }
    return table;
}
}  // namespace

const BlendTable& blendTable() {
    static const BlendTable table = makeBlendTable();
    return table;
}

void buildBlendTable() { blendTable(); }

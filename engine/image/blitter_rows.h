#pragma once

#include "engine/image/blitter.h"

namespace zentac {

struct KnownLayout {
    uint32_t word;
    uint32_t red;
    uint32_t green;
    uint32_t blue;
    uint32_t alpha;
};

// By KnownFormat; the indexed entry is the only one with a palette.
inline constexpr KnownLayout kKnownLayouts[kKnownFormatCount] = {
    {0x84000008, 0, 0, 0xFF, 0},
    {0x88000008, 0, 0, 0xFF, 0},
    {0x90000008, 0xE0, 0x1C, 0x03, 0},
    {0x90000010, 0xF800, 0x07E0, 0x001F, 0},
    {0x90000018, 0xFF0000, 0xFF00, 0xFF, 0},
    {0x90000010, 0x7C00, 0x03E0, 0x001F, 0x8000},
    {0x90000010, 0x0F00, 0x00F0, 0x000F, 0xF000},
    {0x90000020, 0xFF0000, 0xFF00, 0xFF, 0xFF000000},
};

// The row functions of each family, picked by byte widths (1 to 4) or
// known format indices; null where the family has no member.
RowFunction CopyRow(int sourceBytes);
RowFunction ConvertRow(int sourceBytes, int destBytes, bool resize);
RowFunction LuminanceRow(int sourceBytes, int destBytes, bool resize);
RowFunction IndexLookupRow(int sourceBytes, int destBytes, bool resize);
RowFunction KnownIndexLookupRow(int destBytes, bool resize);
RowFunction KnownPairRow(int source, int dest, bool resize);
RowFunction KnownFilterRow(int source);
RowFunction IntensityFilterRow(int sourceBytes);
RowFunction ChannelFilterRow(int sourceBytes);

}  // namespace zentac

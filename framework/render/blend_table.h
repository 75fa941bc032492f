#pragma once

#include <array>
#include <cstdint>

// Row a, column b holds trunc(a / 255 * b): the weighted share of a channel
// without a multiplication per pixel. Row 255 is the identity, row 0 all 0.
using BlendTable = std::array<std::array<uint8_t, 256>, 256>;

// Builds the program-wide table; later calls do nothing.
void buildBlendTable();
// The table, built on first use.
const BlendTable& blendTable();

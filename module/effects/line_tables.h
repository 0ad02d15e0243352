// The two tables of text lines the wave-text overlays scroll, stored scrambled:
// each byte unscrambles to (stored ^ kLineXorKey) - kLineSubtractKey (mod 256).
#pragma once

#include <cstdint>

constexpr int kLineTableSize = 13;

// Twelve lines and an empty thirteenth entry.
extern const char* const firstLineTable[kLineTableSize];
// Thirteen lines.
extern const char* const secondLineTable[kLineTableSize];

// One stored byte to the byte that selects the glyph.
std::uint8_t unscrambleLineByte(std::uint8_t stored);

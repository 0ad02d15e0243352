// The two constants that scramble the stored text lines, and the byte
// transforms both ways. The build's line scrambler and the module share them.
// A plain byte p is stored as (p + kLineSubtractKey) ^ kLineXorKey; only the
// plain byte 0x9C, which no line uses, would be stored as 0.
#pragma once

#include <cstdint>

constexpr std::uint8_t kLineXorKey = 0xC5;
constexpr std::uint8_t kLineSubtractKey = 0x29;

constexpr std::uint8_t scrambleLineByteWithKeys(std::uint8_t plain) {
    return static_cast<std::uint8_t>(static_cast<std::uint8_t>(plain + kLineSubtractKey) ^
                                     kLineXorKey);
}

constexpr std::uint8_t unscrambleLineByteWithKeys(std::uint8_t stored) {
    return static_cast<std::uint8_t>(static_cast<std::uint8_t>(stored ^ kLineXorKey) -
                                     kLineSubtractKey);
}

static_assert(unscrambleLineByteWithKeys(scrambleLineByteWithKeys('A')) == 'A');
static_assert(scrambleLineByteWithKeys(0x9C) == 0);

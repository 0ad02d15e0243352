// Assembles the finished song "Sorvanel": the arranged grid cut into
// patterns, the order list, the sample bank and the header values (tempo
// 150, speed 6: a row is exactly 0.1 s).
#pragma once

#include <cstdint>
#include <vector>

#include "arranger.h"
#include "it_module.h"

constexpr int kPatternRows = 160;  // 16 s per pattern; the last one is shorter

it::Module buildSong();

// Cuts a grid into patterns of kPatternRows (the last takes the rest); equal
// patterns are stored once and repeated in the order list.
void cutIntoPatterns(const SongGrid& grid, it::Module& module);

// The bytes of Sorvanel.it.
std::vector<std::uint8_t> songFileBytes();

// Serialises an it::Module into the bytes of an Impulse Tracker (.it) file:
// the 192-byte header, order list, offset tables, instrument and sample
// headers, packed patterns and raw 16-bit sample data. Needs it_module.h.
#pragma once

#include <cstdint>
#include <vector>

#include "it_module.h"

namespace it {

// The sizes the format fixes.
constexpr int kHeaderSize = 192;
constexpr int kInstrumentSize = 554;
constexpr int kSampleHeaderSize = 80;
constexpr int kPatternHeaderSize = 8;
constexpr int kMaxChannels = 64;

// The whole file. Orders get the end-of-song marker appended.
std::vector<std::uint8_t> writeModule(const Module& module);

// One pattern's packed row data (without its 8-byte header).
std::vector<std::uint8_t> packPattern(const Pattern& pattern);

}  // namespace it

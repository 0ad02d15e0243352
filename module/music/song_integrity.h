// Whether a song file is complete: libopenmpt forgives a cut-off file and
// plays what is left, but the layer treats it as unloadable. For Impulse
// Tracker files every part the file's own tables point at must lie inside
// it; other data passes (the loader judges it).
#pragma once

#include <cstddef>
#include <cstdint>

bool songDataComplete(const std::uint8_t* data, std::size_t size);

// The byte codes of the texts are Windows-1252 (ANSI) characters; the font's
// character map wants Unicode.
#pragma once

#include <cstdint>

// Unicode code point of byte code b; 0 for the five codes 1252 leaves undefined.
std::uint32_t windows1252ToUnicode(std::uint8_t b);

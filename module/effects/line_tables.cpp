// Unscrambling of the stored text lines. The tables themselves are generated
// at build time from content/texts/ (line_tables_data.cpp).
#include "effects/line_tables.h"

#include "effects/line_scramble.h"

std::uint8_t unscrambleLineByte(std::uint8_t stored) {
    return unscrambleLineByteWithKeys(stored);
}

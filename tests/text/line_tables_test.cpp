// The stored wave-text lines: table sizes, the empty last entry of the first
// table, readable text after unscrambling, and lengths that keep each line on
// screen through an 80-second text scene.
#include "effects/line_tables.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "effects/line_scramble.h"

namespace {

std::string unscrambled(const char* stored) {
    std::string out;
    for (const char* p = stored; *p != '\0'; ++p) {
        out.push_back(static_cast<char>(unscrambleLineByte(static_cast<std::uint8_t>(*p))));
    }
    return out;
}

bool printable(const std::string& s) {
    for (const char c : s) {
        if (c < 0x20 || c > 0x7E) return false;
    }
    return true;
}

}  // namespace

TEST(LineTablesTest, UnscramblingUndoesTheScrambleForEveryByte) {
    for (int b = 0; b < 256; ++b) {
        const auto plain = static_cast<std::uint8_t>(b);
        EXPECT_EQ(unscrambleLineByte(scrambleLineByteWithKeys(plain)), plain);
    }
    // Stored bytes are XORed first, then the second constant is subtracted.
    const std::uint8_t stored = 0x10;
    EXPECT_EQ(unscrambleLineByte(stored),
              static_cast<std::uint8_t>((stored ^ kLineXorKey) - kLineSubtractKey));
}

TEST(LineTablesTest, FirstTableHoldsTwelveLinesAndAnEmptyThirteenth) {
    for (int i = 0; i < 12; ++i) {
        ASSERT_NE(firstLineTable[i], nullptr);
        EXPECT_GT(std::strlen(firstLineTable[i]), 0u) << i;
    }
    ASSERT_NE(firstLineTable[12], nullptr);
    EXPECT_EQ(std::strlen(firstLineTable[12]), 0u);
}

TEST(LineTablesTest, SecondTableHoldsThirteenLines) {
    for (int i = 0; i < kLineTableSize; ++i) {
        ASSERT_NE(secondLineTable[i], nullptr);
        EXPECT_GT(std::strlen(secondLineTable[i]), 0u) << i;
    }
}

TEST(LineTablesTest, LinesUnscrambleToPrintableCapitalsAndAreNotStoredPlain) {
    for (const char* const* table : {firstLineTable, secondLineTable}) {
        for (int i = 0; i < kLineTableSize; ++i) {
            const std::string text = unscrambled(table[i]);
            EXPECT_TRUE(printable(text)) << i << ": " << text;
            for (const char c : text) EXPECT_FALSE(c >= 'a' && c <= 'z') << text;
            if (!text.empty()) {
                EXPECT_NE(text, std::string(table[i]));
            }
        }
    }
}

TEST(LineTablesTest, LinesLastThroughAnEightySecondScene) {
    // Line 1: letter i is at 1.5 i + 28 - 8 t; at t = 80 the window -30..30
    // holds letters 389 to 428, so a line needs at least 390 of them.
    // Line 2: letter i is at -32 - 1.5 i + 1.6 t; it needs 45 letters to stay
    // in view to the end and no more than 84 are ever shown.
    for (int i = 0; i < 12; ++i) EXPECT_GE(std::strlen(firstLineTable[i]), 390u) << i;
    for (int i = 0; i < kLineTableSize; ++i) {
        EXPECT_GE(std::strlen(secondLineTable[i]), 45u) << i;
        EXPECT_LE(std::strlen(secondLineTable[i]), 84u) << i;
    }
}

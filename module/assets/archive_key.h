// The archive's scrambling key: entry byte j is XORed with the low byte of
// key value j mod 3, the key starting afresh at every entry. XOR is its own
// inverse, so the content tool scrambles with the same routine that the
// module uses to unscramble.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr std::int32_t kArchiveKey[3] = {19, 41, 167};

inline void scrambleEntry(std::uint8_t* bytes, std::size_t length) {
    for (std::size_t j = 0; j < length; ++j) {
        bytes[j] ^= static_cast<std::uint8_t>(kArchiveKey[j % 3] & 0xFF);
    }
}

// The sprite burst's pseudo-random generator: the classic C runtime's linear
// congruential arithmetic, kept here so the show draws the same numbers on
// every platform. Never the C library's rand(). The burst owns it (it is
// the generator's only user), so a fresh burst starts from state 1 as the
// show did at library load.
#pragma once

#include <cstdint>

class RandomGenerator {
  public:
    static constexpr int kRange = 32768;  // values are 0 to 32767

    constexpr explicit RandomGenerator(std::uint32_t state = 1) : state_(state) {}

    // state = state * 214013 + 2531011 (mod 2^32); yields bits 16 to 30.
    int next() {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFF);
    }

    // The next value scaled into [0, x * 32767/32768]: the product is
    // formed in double precision and rounded to single.
    float upTo(float x);

    std::uint32_t state() const { return state_; }

  private:
    std::uint32_t state_;
};

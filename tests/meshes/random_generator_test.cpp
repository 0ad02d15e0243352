// The burst's generator repeats the classic runtime sequence from state 1,
// and upTo scales it into [0, x) in single precision.
#include "effects/random_generator.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(RandomGenerator, StartsWithTheRuntimeSequenceFromStateOne) {
    RandomGenerator generator;
    EXPECT_EQ(generator.state(), 1u);
    EXPECT_EQ(generator.next(), 41);
    EXPECT_EQ(generator.state(), 2745024u);
    const int following[] = {18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (int value : following) EXPECT_EQ(generator.next(), value);
}

TEST(RandomGenerator, UpToScalesTheNextValue) {
    RandomGenerator generator;
    // 41 * 360 / 32768.
    EXPECT_EQ(generator.upTo(360.0f), 0.450439453125f);
    EXPECT_EQ(generator.state(), 2745024u);
    // The top value 32767 stays short of x.
    float largest = 0.0f;
    for (int i = 0; i < 200000; ++i) {
        const float v = generator.upTo(1.0f);
        ASSERT_GE(v, 0.0f);
        largest = std::max(largest, v);
    }
    EXPECT_EQ(largest, 32767.0f / 32768.0f);
}

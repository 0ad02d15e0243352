// The sprite burst aged without drawing goes through the same states, and the
// same draws of the generator, as the burst drawn frame by frame.
#include <gtest/gtest.h>

#include <cstring>

#include "effects/sprite_burst.h"
#include "gl_test.h"

namespace {

class BurstAdvance : public GlTest {};

TEST_F(BurstAdvance, AgeingWithoutGlMatchesDrawing) {
    constexpr int kFrames = 900;  // every particle is reborn a few times
    SpriteBurst drawn;
    for (int frame = 0; frame < kFrames; ++frame) {
        for (int i = 0; i < drawn.count(); ++i) drawn.drawParticle(i);
    }

    SpriteBurst walked;
    for (int frame = 0; frame < kFrames; ++frame) walked.advanceAll();

    EXPECT_EQ(walked.random.state(), drawn.random.state());
    EXPECT_EQ(std::memcmp(walked.age, drawn.age, sizeof drawn.age), 0);
    EXPECT_EQ(std::memcmp(walked.angle, drawn.angle, sizeof drawn.angle), 0);
    EXPECT_EQ(std::memcmp(walked.blue, drawn.blue, sizeof drawn.blue), 0);
    EXPECT_EQ(std::memcmp(walked.lifetime, drawn.lifetime, sizeof drawn.lifetime), 0);
    // Every particle left its starting age of 3 to 4 and lives its cycle.
    for (int i = 0; i < walked.count(); ++i) EXPECT_LE(walked.age[i], walked.lifetime[i]) << i;
}

}  // namespace

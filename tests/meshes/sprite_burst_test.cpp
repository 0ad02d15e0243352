// The sprite burst's draws from its generator, its first frame of 30 black
// squares, its ageing, fading and rebirth.
#include "effects/sprite_burst.h"

#include <GL/gl.h>

#include <vector>

#include "effects/random_generator.h"
#include "effects/scene_renderer.h"
#include "gl_test.h"

namespace {

// The generator's values from a given state, computed here on their own.
std::vector<int> runtimeValues(std::uint32_t state, int count) {
    std::vector<int> values;
    for (int i = 0; i < count; ++i) {
        state = state * 214013u + 2531011u;
        values.push_back(static_cast<int>((state >> 16) & 0x7FFF));
    }
    return values;
}

float scaled(int value, float x) {
    return static_cast<float>(value / 32768.0 * x);
}

// Particle i took these draws at a respawn starting with value `first`.
void expectRespawnedFrom(const SpriteBurst& burst, int i, const std::vector<int>& v, int first) {
    EXPECT_EQ(burst.angle[i], scaled(v[first], 360.0f)) << "particle " << i;
    EXPECT_EQ(burst.red[i], scaled(v[first + 1], 1.0f)) << "particle " << i;
    EXPECT_EQ(burst.green[i], scaled(v[first + 2], 1.0f)) << "particle " << i;
    EXPECT_EQ(burst.blue[i], scaled(v[first + 3], 1.0f)) << "particle " << i;
    EXPECT_EQ(burst.speed[i], static_cast<float>(scaled(v[first + 4], 0.3f) + 0.1))
        << "particle " << i;
    EXPECT_EQ(burst.lifetime[i], scaled(v[first + 5], 1.0f) + 1.0f) << "particle " << i;
}

TEST(SpriteBurst, ConstructionTakesSevenDrawsPerParticleAgeLast) {
    const SpriteBurst burst;  // its own generator, from state 1
    const std::vector<int> v = runtimeValues(1, 210);
    EXPECT_EQ(burst.angle[0], 0.450439453125f);
    for (int i = 0; i < SpriteBurst::kParticleCount; ++i) {
        expectRespawnedFrom(burst, i, v, 7 * i);
        EXPECT_EQ(burst.age[i], scaled(v[7 * i + 6], 1.0f) + 3.0f);
        EXPECT_GE(burst.age[i], 3.0f);
        EXPECT_LT(burst.age[i], 4.0f);
        EXPECT_GE(burst.lifetime[i], 1.0f);
        EXPECT_LT(burst.lifetime[i], 2.0f);
        EXPECT_GE(burst.speed[i], 0.1f);
        EXPECT_LE(burst.speed[i], 0.4f);
    }
    RandomGenerator replay;
    for (int i = 0; i < 210; ++i) replay.next();
    EXPECT_EQ(burst.random.state(), replay.state());
    EXPECT_EQ(burst.count(), 30);
}

class SpriteBurstGlTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glFrustum(-0.32, 0.32, -0.24, 0.24, 0.5, 255.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        // As the director draws the burst: no depth test, no culling.
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
};

TEST_F(SpriteBurstGlTest, FirstBurstDrawsThirtyBlackSquaresAndRebirthsThemAll) {
    SceneRenderer renderer;
    renderer.drawSpriteBurst(0.0, 0.0, 0.0, -2.0);
    int black = 0, other = 0;
    const auto image = pixels();
    for (std::size_t p = 0; p < image.size(); p += 4) {
        if (image[p] == 0 && image[p + 1] == 0 && image[p + 2] == 0) {
            ++black;
        } else if (image[p] != 128 || image[p + 1] != 128 || image[p + 2] != 128) {
            ++other;
        }
    }
    EXPECT_EQ(other, 0) << "every square is black";
    EXPECT_EQ(pixel(kWidth / 2, kHeight / 2), (std::array<int, 4>{0, 0, 0, 255}));
    EXPECT_GT(black, kWidth * kHeight / 4);
    // 180 further draws, six per particle in particle order.
    const std::vector<int> v = runtimeValues(1, 390);
    for (int i = 0; i < SpriteBurst::kParticleCount; ++i) {
        EXPECT_EQ(renderer.sprites.age[i], 0.0f);
        expectRespawnedFrom(renderer.sprites, i, v, 210 + 6 * i);
    }
}

TEST_F(SpriteBurstGlTest, AParticleAtExactlyItsLifetimeIsRebornOnlyOnTheNextAdvance) {
    SpriteBurst burst;
    // 1 + 0.05 * 0.4f rounds to 1.02f: one advance lands exactly on the lifetime.
    burst.age[0] = 1.0f;
    burst.speed[0] = 0.4f;
    burst.lifetime[0] = 1.02f;
    burst.angle[0] = 7.0f;
    const std::uint32_t before = burst.random.state();
    burst.drawParticle(0);
    EXPECT_EQ(burst.age[0], 1.02f);
    EXPECT_EQ(burst.angle[0], 7.0f);
    EXPECT_EQ(burst.random.state(), before);
    burst.drawParticle(0);
    EXPECT_EQ(burst.age[0], 0.0f);
    RandomGenerator replay(before);
    for (int i = 0; i < 6; ++i) replay.next();
    EXPECT_EQ(burst.random.state(), replay.state());
}

TEST_F(SpriteBurstGlTest, FadesFromFullOneUnitBeforeItsLifetimeToBlackAtIt) {
    SpriteBurst burst;
    burst.red[0] = burst.green[0] = burst.blue[0] = 1.0f;
    burst.angle[0] = 0.0f;
    burst.speed[0] = 0.1f;
    burst.lifetime[0] = 1.5f;
    glTranslated(0.0, 0.0, -2.0);
    const struct {
        float age;
        int level;
    } steps[] = {{0.25f, 255}, {0.5f, 255}, {1.0f, 128}, {1.5f, 0}};
    for (const auto& step : steps) {
        glClear(GL_COLOR_BUFFER_BIT);
        burst.age[0] = step.age;
        burst.drawParticle(0);
        const auto centre = pixel(kWidth / 2, kHeight / 2);
        EXPECT_NEAR(centre[0], step.level, 1) << "age " << step.age;
        EXPECT_EQ(centre[0], centre[2]) << "age " << step.age;
    }
}

}  // namespace

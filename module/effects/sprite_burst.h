// The fountain of 30 textured squares: seven parallel arrays, aged per draw.
#pragma once

#include "effects/random_generator.h"

class SpriteBurst {
  public:
    static constexpr int kParticleCount = 30;

    // Draws seven random values per particle, particle 0 first, from its
    // own generator at state 1.
    SpriteBurst();

    int count() const { return kParticleCount; }
    void respawn(int i);
    // Draws particle i at its current age, then advances it.
    void drawParticle(int i);
    // One draw's ageing of particle i without drawing: the age grows by
    // 0.05 x speed and an expired particle is reborn.
    void advance(int i);
    // What one draw of the whole burst does to it, in particle order, without
    // GL: a show started part-way ages the burst for the frames it skips.
    void advanceAll();

    float angle[kParticleCount];
    float age[kParticleCount];
    float red[kParticleCount];
    float green[kParticleCount];
    float blue[kParticleCount];
    float speed[kParticleCount];
    float lifetime[kParticleCount];
    // Where every value above came from; rebirths draw on from here.
    RandomGenerator random;
};

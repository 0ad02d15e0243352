// The fountain of 30 textured squares: seven parallel arrays, aged per draw.
#pragma once

class SpriteBurst {
public:
    static constexpr int kParticleCount = 30;

    // Draws seven random values per particle, particle 0 first.
    SpriteBurst();

    int count() const { return kParticleCount; }
    void respawn(int i);
    // Draws particle i at its current age, then advances it.
    void drawParticle(int i);

    float angle[kParticleCount];
    float age[kParticleCount];
    float red[kParticleCount];
    float green[kParticleCount];
    float blue[kParticleCount];
    float speed[kParticleCount];
    float lifetime[kParticleCount];
};

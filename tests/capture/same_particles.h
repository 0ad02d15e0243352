// Whether two sprite bursts hold the same particles, field by field.
#pragma once

#include <cstring>

#include "effects/sprite_burst.h"

inline bool sameParticles(const SpriteBurst& a, const SpriteBurst& b) {
    return std::memcmp(a.age, b.age, sizeof a.age) == 0 &&
           std::memcmp(a.angle, b.angle, sizeof a.angle) == 0 &&
           std::memcmp(a.red, b.red, sizeof a.red) == 0 &&
           std::memcmp(a.lifetime, b.lifetime, sizeof a.lifetime) == 0 &&
           std::memcmp(a.speed, b.speed, sizeof a.speed) == 0;
}

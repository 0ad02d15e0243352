// The module's generator, constant-initialised so that it holds state 1
// before any module-wide object (the sprite burst draws at library load).
#include "effects/random_generator.h"

constinit RandomGenerator moduleRandom{1};

float randomUpTo(float x) {
    constexpr double kOneOverRange = 1.0 / RandomGenerator::kRange;
    return static_cast<float>(moduleRandom.next() * kOneOverRange * x);
}

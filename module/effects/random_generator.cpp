// The generator's scaling into a float range.
#include "effects/random_generator.h"

float RandomGenerator::upTo(float x) {
    constexpr double kOneOverRange = 1.0 / RandomGenerator::kRange;
    return static_cast<float>(next() * kOneOverRange * x);
}

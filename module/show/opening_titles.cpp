// The credits' choreography and the title word's layers; both draw through
// drawTextColumn, one column per name and one per title letter.
#include "show/opening_titles.h"

#include <cmath>

namespace {

// The names come to rest when the advanced clock reaches 14.7 s (14.3 + 0.4).
constexpr double kCreditsRestTime = 14.700000000000001;
// The resting depth advances so that the names stand at -77 at rest.
constexpr double kCreditsDepthPerSecond = 1.5646258503401358;
constexpr double kCreditsLetterScale = 8.0;

constexpr char kTitleWord[] = "MORROWEN";
constexpr int kTitleLetterCount = 8;
constexpr double kTitleLetterX[kTitleLetterCount] = {-17.5, -12.5, -7.5, -2.5,
                                                     2.5,   7.5,   12.5, 17.5};
constexpr double kTitleStartTime = 14.3;
constexpr int kTitleLayers = 4;

}  // namespace

// clang-format off
const CreditName kCreditNames[kCreditNameCount] = {
//   name      a    b    c     x0     p    y0  q    m
    {"SOLV",   0.1, 0.9, 0.01, -17.5, 0.4, 6,  0.4, 0.38},
    {"MURALK", 0.2, 0.8, 0.02, -12.5, 0.5, 30, 0.6, 0.40},
    {"TUVO",   0.3, 0.7, 0.03, -7.5,  0.6, 6,  0.8, 0.42},
    {"OLP",    0.4, 0.6, 0.04, -2.5,  0.7, 12, 1.0, 0.44},
    {"DUVIN",  0.5, 0.5, 0.05, 2.5,   0.8, 30, 1.2, 0.46},
    {"KRALE",  0.6, 0.4, 0.06, 7.5,   0.9, 18, 1.4, 0.48},
    {"Q7V",    0.7, 0.3, 0.07, 12.5,  1.0, 6,  1.6, 0.50},
    {"OVK",    0.8, 0.2, 1.08, 17.5,  1.1, 12, 1.8, 0.52},  // c really is 1.08
};
// clang-format on

void drawCreditNames(SceneEffects& effects, double tPrime) {
    // Before rest the spread k shrinks to 0 and the names tumble less and
    // less; after it the overshoot X grows negative and they recede.
    const double r = kCreditsRestTime - tPrime;
    const double overshoot = r < 0.0 ? r : 0.0;
    const double spread = r < 0.0 ? 0.0 : r;

    for (const CreditName& n : kCreditNames) {
        const double rotX = 18.0 * spread * std::sin(n.a * tPrime);
        const double rotY = 18.0 * spread * std::sin(n.b * tPrime);
        const double rotZ = 18.0 * spread * std::sin(n.c * tPrime);
        const double x = n.x0 + 0.3 * spread * std::cos(n.p * tPrime);
        const double y = n.y0 + spread * std::cos(n.q * tPrime);
        const double swing =
            10.0 * std::sin(tPrime + n.m * spread) + 13.0 * std::cos(0.2 * (tPrime + 0.5));
        const double z =
            kCreditsDepthPerSecond * tPrime - (spread * swing + 100.0) + 23.0 * overshoot;
        effects.drawTextColumn(n.name, kCreditsLetterScale, rotX, rotY, rotZ, x, y, z);
    }
}

void drawTitleWord(SceneEffects& effects, double clock) {
    const double v = clock - kTitleStartTime;
    const double z = 12.0 * v - 77.0;
    for (int layer = 1; layer <= kTitleLayers; ++layer) {
        const double scale = 8.0 + 0.8 * layer * v;
        for (int j = 0; j < kTitleLetterCount; ++j) {
            const char letter[2] = {kTitleWord[j], '\0'};
            effects.drawTextColumn(letter, scale, 0.0, 0.0, 0.0, kTitleLetterX[j], 6.0, z);
        }
    }
}

// The opening's texts: eight credit names that tumble in and come to rest at
// 14.7 s of advanced clock before receding, and the title word MORROWEN in
// four growing layers. The caller sets projection, depth test and texture.
#pragma once

#include "effects/scene_effects.h"

struct CreditName {
    const char* name;
    double a, b, c;  // tumble frequencies about x, y and z
    double x0, p;    // resting x and sway frequency
    double y0, q;    // resting top and bob frequency
    double m;        // depth-swing phase per unit of spread
};

constexpr int kCreditNameCount = 8;
extern const CreditName kCreditNames[kCreditNameCount];

// The names at advanced clock tPrime (the frame's time + 0.4 s).
void drawCreditNames(SceneEffects& effects, double tPrime);

// The title word at clock seconds `clock` (the advanced clock when the
// credits ran in the same frame).
void drawTitleWord(SceneEffects& effects, double clock);

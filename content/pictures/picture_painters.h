// The nine procedural pictures of the show. Each painter takes the picture's
// side in texels and returns the picture; all are deterministic.
#pragma once

#include "picture_image.h"

// Environments seen in a mirror ball, for sphere mapping (environment_painters.cpp).
RgbImage paintChromeSky(int size);  // blue sky with clouds over a dark plain
RgbImage paintSunsetSea(int size);  // glowing sunset over a rippled sea
RgbImage paintAurora(int size);     // green and violet curtains in a night sky
RgbImage paintHaze(int size);       // near-white haze for the fades to tint

// Materials that tile under GL_REPEAT, and the sprite (material_painters.cpp).
RgbImage paintPlasma(int size);     // interfering colour waves
RgbImage paintMarble(int size);     // veined white and green marble
RgbImage paintLavaStone(int size);  // dark stone cells with glowing seams
RgbImage paintNebula(int size);     // coloured gas and stars on black
RgbImage paintFlare(int size);      // a soft star with rays, black at the edges

// The thirteen values the two text-line overlays hand to drawWaveText: the
// first line enters on the right and scrolls left, the second drifts slowly
// right with its letters spinning the other way round the drum.
#pragma once

#include "effects/scene_effects.h"

struct WaveTextValues {
    double scale;
    double zBase;
    double zAmplitude;
    double yAmplitude;
    double angleFactor;
    double xStart;  // x of the first letter at local time 0
    double letterSpacing;
    double scrollSpeed;  // x drift per second, subtracted
    double phasePerLetter;
    double phasePerSecond;
    double yawAmplitude;   // degrees
    double rollAmplitude;  // degrees
    double phaseOffset;
};

constexpr WaveTextValues kFirstLineValues{6, -50, 8, 8, 2.9, 28, 1.5, 8, -1.25, 4, 30, 0, 0};
constexpr WaveTextValues kSecondLineValues{6,    -50,  8,  8,    2.9, -32, -1.5,
                                           -1.6, 1.25, -4, -360, 0,   1.4};

inline void drawWaveLine(SceneEffects& effects, const char* storedLine, const WaveTextValues& v) {
    effects.drawWaveText(storedLine, v.scale, v.zBase, v.zAmplitude, v.yAmplitude, v.angleFactor,
                         v.xStart, v.letterSpacing, v.scrollSpeed, v.phasePerLetter,
                         v.phasePerSecond, v.yawAmplitude, v.rollAmplitude, v.phaseOffset);
}

// The body of RenderScene: reads the clock, finds the current event and
// performs the clears and effects its flag words select, in a fixed order.
#pragma once

#include <cstdint>

#include "common/dmd_api.h"

class EventTimeline;
class SceneEffects;
class FrameState;

class SceneDirector {
public:
    SceneDirector(const EventTimeline& timeline, SceneEffects& effects, FrameState& state)
        : timeline_(timeline), effects_(effects), state_(state) {}

    // One frame at song time songMs (milliseconds). Returns 0 when the show
    // is over, 1 otherwise.
    int renderScene(const FrustumParams& frustum, int songMs);

    FrustumParams hostFrustum{};
    double clockSeconds = 0.0;
    double angleA = 0.0;
    double angleB = 0.0;
    double angleC = 0.0;
    std::int32_t lineCounter = 0;
    std::uint32_t previousLine2Bit = 0;

private:
    const EventTimeline& timeline_;
    SceneEffects& effects_;
    FrameState& state_;
};

// The body of RenderScene: reads the clock, finds the current event and
// performs the clears and effects its flag words select, in a fixed order
// (one row of a constant table per step, scene_director.cpp).
#pragma once

#include <cstdint>

#include "common/dmd_api.h"
#include "show/event_timeline.h"

class SceneEffects;
class FrameState;

class SceneDirector {
  public:
    SceneDirector(const EventTimeline& timeline, SceneEffects& effects, FrameState& state)
        : timeline_(timeline), effects_(effects), state_(state) {}

    // One frame at song time songMs (milliseconds). Returns 0 when the show
    // is over, 1 otherwise.
    int renderScene(const FrustumParams& frustum, int songMs);

    // What a frame at songMs does to the state that outlives it, drawing
    // nothing: the line counter steps as renderScene steps it. Returns whether
    // that frame draws the sprite burst (which ages it); at the end of the
    // show nothing changes and the result is false.
    bool passFrame(int songMs);
    // Whether a frame at songMs covers every pixel before anything else is
    // drawn, so that nothing earlier frames drew shows in it.
    bool repaintsPicture(int songMs) const;
    // Whether songMs lies in the end of the show, where renderScene returns 0.
    bool showOverAt(int songMs) const;

    FrustumParams hostFrustum{};
    double clockSeconds = 0.0;
    double angleA = 0.0;
    double angleB = 0.0;
    double angleC = 0.0;
    std::int32_t lineCounter = 0;
    std::uint32_t previousLine2Bit = 0;

  private:
    // angleA to angleC at song time t (seconds).
    void swingAngles(double t);
    void stepLineCounter(std::uint32_t overlayFlags);
    // The current event at songMs (all 0 without events).
    FrameEvent eventAt(int songMs) const;

    const EventTimeline& timeline_;
    SceneEffects& effects_;
    FrameState& state_;
};

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
    void stepLineCounter(std::uint32_t overlayFlags);
    struct EventWords {
        std::uint32_t sceneFlags = 0;
        std::uint32_t sceneWord = 0;
        std::uint32_t overlayFlags = 0;
    };
    // What the current event at songMs selects (all 0 without events).
    EventWords wordsAt(int songMs) const;

    const EventTimeline& timeline_;
    SceneEffects& effects_;
    FrameState& state_;
};

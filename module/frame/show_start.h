// Starting the show part-way (DmdStartAt): the frames of the grid before the
// start are passed without drawing, so that the sprite burst and the line
// counter stand where a show played from 0 would have left them; the last
// of those frames since the picture was last repainted are drawn before the
// first real one, so that its picture matches too.
// Needs: the built script (through the director) and, for the lead-in, the
// host's context and frustum at the first RenderScene.
#pragma once

#include <cstdint>

#include "common/dmd_api.h"

class SceneDirector;
class SpriteBurst;

class ShowStart {
  public:
    // False for a negative time or a rate outside 1 to 1000.
    bool request(int songMs, int framesPerSecond);
    bool requested() const { return framesPerSecond_ != 0; }
    int songMs() const { return songMs_; }

    // After the script is built: finds where the lead-in begins and passes
    // every frame before it without drawing. Without drawLeadIn every frame
    // before the start is passed: a live window keeps no picture from frame
    // to frame worth the wait.
    void passEarlyFrames(SceneDirector& director, SpriteBurst& burst, bool drawLeadIn = true);
    // At the first RenderScene: draws the lead-in frames, once. Returns 0 when
    // the show ended among them.
    int drawLeadIn(SceneDirector& director, const FrustumParams& frustum);

    // The grid frames of the plan: the first one shown and the first drawn.
    std::int64_t firstFrame() const { return firstFrame_; }
    std::int64_t leadInFrame() const { return leadInFrame_; }

  private:
    int gridMs(std::int64_t frame) const;

    int songMs_ = 0;
    int framesPerSecond_ = 0;
    std::int64_t firstFrame_ = 0;
    std::int64_t leadInFrame_ = 0;
    bool leadInDrawn_ = false;
};

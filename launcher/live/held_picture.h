// The picture a paused show keeps: the frame drawn at the held time, copied
// out of the back buffer once and presented again on every turn, so nothing
// ages while time stands still.
#pragma once

#include "live/framebuffer_picture.h"

class HeldPicture {
  public:
    // Keeps the back buffer as drawn (width x height from the bottom left).
    void keep(int width, int height);
    // Whether a picture of that size is kept (a resize drops it).
    bool holds(int width, int height);
    // Draws the kept picture into the back buffer and rests a few
    // milliseconds: nothing moves, so there is no need to spin.
    void draw() const;
    void drop();

  private:
    FramebufferPicture picture_;
};

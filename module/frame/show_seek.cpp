// A seek is a fresh start part-way, made after Init: state reset, then the
// frames before the target passed (and those since the last repaint drawn
// at the next RenderScene, so the picture matches a shot of that instant).
#include "frame/show_seek.h"

#include "effects/sprite_burst.h"
#include "frame/show_start.h"
#include "show/scene_director.h"

bool seekShow(int songMs, int framesPerSecond, SceneDirector& director, SpriteBurst& burst,
              ShowStart& start) {
    ShowStart fresh;
    if (!fresh.request(songMs, framesPerSecond)) return false;
    // A fresh burst, with its own generator back at state 1, is the burst
    // Init made.
    burst = SpriteBurst();
    director.lineCounter = 0;
    director.previousLine2Bit = 0;
    start = fresh;
    start.passEarlyFrames(director, burst, true);
    return true;
}

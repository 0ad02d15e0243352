// Jumping within a running show (DmdSeekTo): what earlier frames left behind
// is put back as Init left it (the burst and its random generator, the
// line counter), then a fresh part-way start walks the grid frames up to
// the target, as a start there would.
#pragma once

class SceneDirector;
class ShowStart;
class SpriteBurst;

// Returns false for songMs < 0 or a rate outside 1 to 1000; nothing changes then.
bool seekShow(int songMs, int framesPerSecond, SceneDirector& director, SpriteBurst& burst,
              ShowStart& start);

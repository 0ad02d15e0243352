// The module-wide objects, alive from library load to library unload.
// They are all defined in one file so that they are constructed in this order
// and destroyed in reverse: song player, renderer, timeline, the nine slots.
#pragma once

#include <string>

#include "assets/texture_slot.h"
#include "effects/scene_renderer.h"
#include "music/song_player.h"
#include "show/event_timeline.h"
#include "show/gl_frame_state.h"
#include "show/scene_director.h"

extern SongPlayer songPlayer;
extern SceneRenderer sceneRenderer;
extern EventTimeline eventTimeline;
extern TextureSlot textureSlots[kTextureSlotCount];
extern GlFrameState frameState;
extern SceneDirector sceneDirector;

extern std::string tempDirectory;  // ends with '/'
extern int musicStarted;

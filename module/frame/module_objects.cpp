// Defines the module-wide objects; see module_objects.h for why here, in this order.
#include "frame/module_objects.h"

SongPlayer songPlayer;
SceneRenderer sceneRenderer;
EventTimeline eventTimeline;
TextureSlot textureSlots[kTextureSlotCount];
GlFrameState frameState{textureSlots};
SceneDirector sceneDirector{eventTimeline, sceneRenderer, frameState};

std::string tempDirectory;
int musicStarted = 0;

// The show's state: everything one show holds, in one object that Init
// creates and Done destroys (or the library's unload, when Done never came).
// Seeking, a failed start and Done each have this one thing to reset.
//
// Outside it, process-wide, stay only what must outlive a show or come
// before it: the failure detail a failed Init leaves for the host to read
// after Init returns (common/failure_detail.cpp), what a host asks before
// Init (module_exports.cpp), and the pointer to this object.
#pragma once

#include <string>

#include "assets/texture_slot.h"
#include "effects/scene_renderer.h"
#include "frame/show_start.h"
#include "music/song_player.h"
#include "show/event_timeline.h"
#include "show/gl_frame_state.h"
#include "show/scene_director.h"

struct ShowState {
    ShowState() = default;
    ShowState(const ShowState&) = delete;
    ShowState& operator=(const ShowState&) = delete;

    // Constructed in this order and destroyed in reverse: the song player
    // (with its sound layer), the renderer (outline text, meshes with their
    // lists, sprite burst with its generator), the timeline, the nine
    // slots; then what draws through them.
    SongPlayer songPlayer;
    SceneRenderer renderer;
    EventTimeline timeline;
    TextureSlot textureSlots[kTextureSlotCount];
    GlFrameState frameState{textureSlots};
    SceneDirector director{timeline, renderer, frameState};

    // The part-way start the host asked for, then the last seek's.
    ShowStart start;
    std::string tempDirectory;  // ends with '/'
    int musicStarted = 0;       // Done fades the song out only when set
};

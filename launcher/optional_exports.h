// The module's optional exports (dmd_api.h), looked up in the loaded module.
// A module without them still runs the live show; starts part-way, captures
// and shots need them.
#pragma once

#include "common/dmd_api.h"

struct OptionalExports {
    DmdStartAtFn startAt = nullptr;
    DmdUseOfflineAudioFn useOfflineAudio = nullptr;
    DmdPullAudioFn pullAudio = nullptr;
    DmdShowEndMsFn showEndMs = nullptr;
    DmdSeekToFn seekTo = nullptr;
    DmdSetPausedFn setPaused = nullptr;
    DmdSongTimeMsFn songTimeMs = nullptr;
    DmdDescribeEventFn describeEvent = nullptr;
    DmdFollowsFrustumAspectFn followsFrustumAspect = nullptr;
};

// Those of the module LoadModule bound; all null when none is loaded.
OptionalExports bindOptionalExports();

// The live show's start time (--start), handed to the module before Init.
void setLiveStartMs(int songMs);
// Between LoadModule and Init: asks the module to start at the live start
// time, with the nominal 60 frames per second for what depends on earlier
// frames. A module that cannot start part-way is told nothing (a note goes
// to stderr) and plays from the beginning.
void applyLiveStart();

// The frame rate a live start walks its skipped frames at.
constexpr int kLiveFramesPerSecond = 60;

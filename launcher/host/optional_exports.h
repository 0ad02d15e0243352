// The module's optional exports (dmd_api.h), looked up in a loaded module. A
// module without them still runs the live show; starts part-way, captures,
// shots and the viewing controls need them.
#pragma once

#include "common/dmd_api.h"
#include "host/module_loader.h"

struct OptionalExports : DmdOptionalExportTable {
    // Rendered offscreen on the frame grid: start, offline audio and pulling it.
    bool offline() const {
        return startAt != nullptr && useOfflineAudio != nullptr && pullAudio != nullptr;
    }
};

// Those of the module in binding; all null when none is loaded.
OptionalExports bindOptionalExports(const ModuleBinding& binding);

// The frame rate a live start and a seek walk their skipped frames at.
constexpr int kLiveFramesPerSecond = 60;

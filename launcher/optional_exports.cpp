// Looks the optional exports up with dlsym and keeps the live start time.
#include "optional_exports.h"

#include <dlfcn.h>

#include <cstdio>

#include "module_loader.h"

namespace {

int liveStartMs = 0;

template <typename Fn>
Fn lookUp(const char* name) {
    if (moduleBinding.moduleHandle == nullptr) return nullptr;
    return reinterpret_cast<Fn>(::dlsym(moduleBinding.moduleHandle, name));
}

}  // namespace

OptionalExports bindOptionalExports() {
    OptionalExports exports;
    exports.startAt = lookUp<DmdStartAtFn>(kDmdStartAtName);
    exports.useOfflineAudio = lookUp<DmdUseOfflineAudioFn>(kDmdUseOfflineAudioName);
    exports.pullAudio = lookUp<DmdPullAudioFn>(kDmdPullAudioName);
    exports.showEndMs = lookUp<DmdShowEndMsFn>(kDmdShowEndMsName);
    exports.seekTo = lookUp<DmdSeekToFn>(kDmdSeekToName);
    exports.setPaused = lookUp<DmdSetPausedFn>(kDmdSetPausedName);
    exports.songTimeMs = lookUp<DmdSongTimeMsFn>(kDmdSongTimeMsName);
    exports.describeEvent = lookUp<DmdDescribeEventFn>(kDmdDescribeEventName);
    exports.followsFrustumAspect = lookUp<DmdFollowsFrustumAspectFn>(kDmdFollowsFrustumAspectName);
    return exports;
}

void setLiveStartMs(int songMs) {
    liveStartMs = songMs;
}

void applyLiveStart() {
    if (liveStartMs <= 0) return;
    const OptionalExports exports = bindOptionalExports();
    if (exports.startAt == nullptr || exports.startAt(liveStartMs, kLiveFramesPerSecond) == 0) {
        std::fputs("talvenor: this module cannot start part-way; it plays from the beginning\n",
                   stderr);
    }
}

// Implements bindOptionalExports: each optional export looked up by name
// through the module loader (moduleExport).
#include "host/optional_exports.h"

namespace {

template <typename Fn>
Fn lookUp(const ModuleBinding& binding, const char* name) {
    return reinterpret_cast<Fn>(moduleExport(binding, name));
}

}  // namespace

OptionalExports bindOptionalExports(const ModuleBinding& binding) {
    OptionalExports e;
    e.startAt = lookUp<DmdStartAtFn>(binding, kDmdStartAtName);
    e.useOfflineAudio = lookUp<DmdUseOfflineAudioFn>(binding, kDmdUseOfflineAudioName);
    e.pullAudio = lookUp<DmdPullAudioFn>(binding, kDmdPullAudioName);
    e.showEndMs = lookUp<DmdShowEndMsFn>(binding, kDmdShowEndMsName);
    e.seekTo = lookUp<DmdSeekToFn>(binding, kDmdSeekToName);
    e.setPaused = lookUp<DmdSetPausedFn>(binding, kDmdSetPausedName);
    e.songTimeMs = lookUp<DmdSongTimeMsFn>(binding, kDmdSongTimeMsName);
    e.describeEvent = lookUp<DmdDescribeEventFn>(binding, kDmdDescribeEventName);
    e.followsFrustumAspect =
        lookUp<DmdFollowsFrustumAspectFn>(binding, kDmdFollowsFrustumAspectName);
    e.failureDetail = lookUp<DmdFailureDetailFn>(binding, kDmdFailureDetailName);
    e.setAudioOffsetMs = lookUp<DmdSetAudioOffsetMsFn>(binding, kDmdSetAudioOffsetMsName);
    e.setPresentationDelayMs =
        lookUp<DmdSetPresentationDelayMsFn>(binding, kDmdSetPresentationDelayMsName);
    e.frameShown = lookUp<DmdFrameShownFn>(binding, kDmdFrameShownName);
    return e;
}

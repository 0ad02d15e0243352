// The module's contract with the launcher: Init, RenderScene and Done.
// Init gets everything ready in a fixed order and stops at the first failure
// with a text in the launcher's buffer; RenderScene is the scene director.
// The optional exports let a host start the show part-way and drive the
// clock itself with offline audio, for captures and shots. Everything the
// show holds is one ShowState (show_state.h), made by Init and ended by Done.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>

#include "assets/picture_startup.h"
#include "assets/temp_directory.h"
#include "common/data_files.h"
#include "common/dmd_api.h"
#include "common/failure_detail.h"
#include "effects/text_font.h"
#include "frame/show_seek.h"
#include "frame/show_start.h"
#include "frame/show_state.h"
#include "show/event_script.h"
#include "show/event_words.h"
#include "show/scene_flags.h"

namespace {

constexpr const char* kSongFileName = "Sorvanel.it";
constexpr int kOfflineMixRate = 44100;

// What a host asks through the optional exports before Init, and whether
// Init came. Process-wide: it is set before the show exists and read by
// Init, and it outlives Done, so that a start asked for too late is still
// refused.
struct HostRequests {
    ShowStart start;
    bool offlineAudio = false;
    bool initCalled = false;
    int audioOffsetMs = 0;
    int presentationDelayMs = 0;
};
HostRequests requests;

// The show, from Init to Done. Process-wide as the one way to it: the
// exports carry no handle. Should Done never come, the library's unload
// destroys it (its sound layer stops before the code it runs goes away).
std::unique_ptr<ShowState> show;

void writeMessage(char** messageTarget, const char* text) {
    if (messageTarget == nullptr || *messageTarget == nullptr) return;
    std::strncpy(*messageTarget, text, kMessageBufferSize - 1);
    (*messageTarget)[kMessageBufferSize - 1] = '\0';
}

// The running show: Init succeeded as far as the music, and Done has not come.
ShowState* musicShow() {
    return show != nullptr && show->musicStarted != 0 ? show.get() : nullptr;
}

}  // namespace

DMD_EXPORT int Init(void* deviceContext, int soundEnabled, char** messageTarget) {
    requests.initCalled = true;
    clearFailureDetail();
    // After a failure the state stays as far as it got, for a RenderScene
    // and Done; Done ends it either way.
    show = std::make_unique<ShowState>();
    ShowState& s = *show;
    s.start = requests.start;
    s.songPlayer.useOfflineOutput(requests.offlineAudio);
    s.songPlayer.setAudioOffsetMs(requests.audioOffsetMs);
    s.songPlayer.setPresentationDelayMs(requests.presentationDelayMs);

    // Without a private directory there is nowhere safe to unpack to, and no
    // picture can be found: that is a texture failure, not a silent fallback
    // to the current directory.
    std::string why;
    s.tempDirectory = privateTempDirectory(why);
    if (s.tempDirectory.empty()) {
        setFailureDetail(why);
        writeMessage(messageTarget, "Loading Texture failed!");
        return 0;
    }
    // Unpack, load, delete, under the directory's lock: shows started side
    // by side take turns here.
    if (loadPicturesFromArchive(s.tempDirectory, s.textureSlots) != -1) {
        writeMessage(messageTarget, "Loading Texture failed!");
        return 0;
    }

    s.songPlayer.setSongName(dataFilePath(kSongFileName).c_str());
    s.musicStarted = s.songPlayer.open(messageTarget, soundEnabled);
    if (s.musicStarted == 0) return 0;

    s.director.clockSeconds = 0.0;
    s.renderer.text.depth = kTextGlyphDepth;
    s.renderer.text.createFont(deviceContext, kTextFontFace, kTextGlyphDepth);

    if (!s.timeline.buildScript()) {
        writeMessage(messageTarget, "Building the script failed!");
        return 0;
    }
    if (s.start.requested()) {
        // Drawn frames before the first only where the picture is kept:
        // captures and shots, which use offline audio.
        s.start.passEarlyFrames(s.director, s.renderer.sprites, requests.offlineAudio);
        s.songPlayer.setStartMs(s.start.songMs());
    }
    s.songPlayer.play();
    return 1;
}

DMD_EXPORT int RenderScene(std::uint32_t, int, double left, double right, double bottom, double top,
                           double nearVal, double farVal) {
    // Without a show (before Init or after Done, both outside the contract)
    // nothing is drawn and the show goes on, as an empty script would have it.
    if (show == nullptr) return 1;
    ShowState& s = *show;
    const FrustumParams frustum{left, right, bottom, top, nearVal, farVal};
    if (s.start.drawLeadIn(s.director, frustum) == 0) return 0;
    return s.director.renderScene(frustum, s.songPlayer.pictureTimeMs(true));
}

DMD_EXPORT void Done() {
    if (ShowState* s = musicShow()) {
        // Offline, nothing is heard and the clock does not run: no fade.
        s->songPlayer.close(requests.offlineAudio ? 0 : 1);
    }
    show.reset();
}

DMD_EXPORT int DmdStartAt(int songMs, int framesPerSecond) {
    if (requests.initCalled) return 0;
    return requests.start.request(songMs, framesPerSecond) ? 1 : 0;
}

DMD_EXPORT int DmdUseOfflineAudio() {
    if (requests.initCalled) return 0;
    requests.offlineAudio = true;
    return kOfflineMixRate;
}

DMD_EXPORT int DmdPullAudio(std::int16_t* interleavedStereo, int frames) {
    ShowState* s = musicShow();
    if (!requests.offlineAudio || s == nullptr) return 0;
    return s->songPlayer.mixOffline(interleavedStereo, frames);
}

DMD_EXPORT int DmdShowEndMs() {
    if (show == nullptr || show->timeline.head == nullptr) {
        // Before Init the script table says it: the end event's first millisecond.
        for (int i = 1; i < kShowScriptLength; ++i) {
            if ((kShowScript[i].sceneFlags & SCENE_END_OF_SHOW) != 0) {
                return firstMsAtOrAfter(kShowScript[i - 1].end);
            }
        }
        return -1;
    }
    const SceneDirector& director = show->director;
    for (const TimelineEvent* e = show->timeline.head; e != nullptr; e = e->next) {
        if ((e->sceneFlags & SCENE_END_OF_SHOW) == 0) continue;
        // The first whole millisecond the director sees inside the end event.
        int ms = static_cast<int>(std::llround(e->start * 1000.0));
        while (ms > 0 && director.showOverAt(ms - 1)) --ms;
        while (!director.showOverAt(ms)) ++ms;
        return ms;
    }
    return -1;
}

DMD_EXPORT int DmdSeekTo(int songMs, int framesPerSecond) {
    ShowState* s = musicShow();
    if (s == nullptr || requests.offlineAudio) return 0;
    if (!seekShow(songMs, framesPerSecond, s->director, s->renderer.sprites, s->start)) {
        return 0;
    }
    return s->songPlayer.seekTo(songMs);
}

DMD_EXPORT int DmdSetPaused(int paused) {
    ShowState* s = musicShow();
    if (s == nullptr || requests.offlineAudio) return 0;
    return s->songPlayer.setPaused(paused != 0);
}

DMD_EXPORT int DmdSongTimeMs() {
    ShowState* s = musicShow();
    return s != nullptr ? s->songPlayer.pictureTimeMs(false) : -1;
}

DMD_EXPORT int DmdDescribeEvent(int index, DmdEventInfo* info) {
    if (index < 0 || index >= kShowScriptLength || info == nullptr) return 0;
    const ScriptRow& row = kShowScript[index];
    info->startMs = index == 0 ? 0 : firstMsAtOrAfter(kShowScript[index - 1].end);
    info->endMs = firstMsAtOrAfter(row.end);
    info->sceneFlags = row.sceneFlags;
    info->overlayFlags = row.overlayFlags;
    std::snprintf(info->what, sizeof info->what, "%s",
                  describeEventFlags(row.sceneFlags, row.overlayFlags).c_str());
    return 1;
}

DMD_EXPORT const char* DmdFailureDetail() {
    return failureDetail().c_str();
}

// The director fits its fixed projections to the frustum's aspect
// (show_projections.h), so a host may hand a widescreen frustum.
DMD_EXPORT int DmdFollowsFrustumAspect() {
    return 1;
}

// Live audio only: the song keeps its place and only the picture's clock
// moves (music/picture_clock.h). Offline the clock is the audio pulled.
// Before Init the value waits for the show; afterwards it applies at once.
DMD_EXPORT int DmdSetAudioOffsetMs(int ms) {
    if (!PictureClock::acceptsAudioOffsetMs(ms)) return 0;
    requests.audioOffsetMs = ms;
    if (show != nullptr) show->songPlayer.setAudioOffsetMs(ms);
    return 1;
}

DMD_EXPORT int DmdSetPresentationDelayMs(int ms) {
    if (!PictureClock::acceptsPresentationDelayMs(ms)) return 0;
    requests.presentationDelayMs = ms;
    if (show != nullptr) show->songPlayer.setPresentationDelayMs(ms);
    return 1;
}

DMD_EXPORT int DmdFrameShown() {
    ShowState* s = musicShow();
    if (s == nullptr) return 0;
    s->songPlayer.frameShown();
    return 1;
}

// Each optional export defined above has the type the contract lists for it.
#define DMD_SAME_TYPE(name, member)                          \
    static_assert(std::is_same_v<decltype(&name), name##Fn>, \
                  #name " must have the type dmd_api.h gives it");
DMD_OPTIONAL_EXPORTS(DMD_SAME_TYPE)
#undef DMD_SAME_TYPE

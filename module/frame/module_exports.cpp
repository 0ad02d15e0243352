// The module's contract with the launcher: Init, RenderScene and Done.
// Init gets everything ready in a fixed order and stops at the first failure
// with a text in the launcher's buffer; RenderScene is the scene director.
// The optional exports let a host start the show part-way and drive the
// clock itself with offline audio, for captures and shots.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "assets/picture_startup.h"
#include "assets/temp_directory.h"
#include "common/data_files.h"
#include "common/dmd_api.h"
#include "common/failure_detail.h"
#include "effects/text_font.h"
#include "frame/module_objects.h"
#include "frame/show_seek.h"
#include "frame/show_start.h"
#include "show/event_script.h"
#include "show/event_words.h"
#include "show/scene_flags.h"

namespace {

constexpr const char* kSongFileName = "Sorvanel.it";
constexpr int kOfflineMixRate = 44100;

// What a host asked for before Init, through the optional exports.
ShowStart showStart;
bool offlineAudio = false;
bool initCalled = false;

void writeMessage(char** messageTarget, const char* text) {
    if (messageTarget == nullptr || *messageTarget == nullptr) return;
    std::strncpy(*messageTarget, text, kMessageBufferSize - 1);
    (*messageTarget)[kMessageBufferSize - 1] = '\0';
}

}  // namespace

DMD_EXPORT int Init(void* deviceContext, int soundEnabled, char** messageTarget) {
    initCalled = true;
    clearFailureDetail();
    // Without a private directory there is nowhere safe to unpack to, and no
    // picture can be found: that is a texture failure, not a silent fallback
    // to the current directory.
    std::string why;
    tempDirectory = privateTempDirectory(why);
    if (tempDirectory.empty()) {
        setFailureDetail(why);
        writeMessage(messageTarget, "Loading Texture failed!");
        return 0;
    }
    // Unpack, load, delete, under the directory's lock: shows started side
    // by side take turns here.
    if (loadPicturesFromArchive(tempDirectory, textureSlots) != -1) {
        writeMessage(messageTarget, "Loading Texture failed!");
        return 0;
    }

    songPlayer.setSongName(dataFilePath(kSongFileName).c_str());
    musicStarted = songPlayer.open(messageTarget, soundEnabled);
    if (musicStarted == 0) return 0;

    sceneDirector.clockSeconds = 0.0;
    sceneRenderer.text.depth = kTextGlyphDepth;
    sceneRenderer.text.createFont(deviceContext, kTextFontFace, kTextGlyphDepth);

    if (!eventTimeline.buildScript()) {
        writeMessage(messageTarget, "Building the script failed!");
        return 0;
    }
    if (showStart.requested()) {
        // Drawn frames before the first only where the picture is kept:
        // captures and shots, which use offline audio.
        showStart.passEarlyFrames(sceneDirector, sceneRenderer.sprites, offlineAudio);
        songPlayer.setStartMs(showStart.songMs());
    }
    songPlayer.play();
    return 1;
}

DMD_EXPORT int RenderScene(std::uint32_t, int, double left, double right, double bottom, double top,
                           double nearVal, double farVal) {
    const FrustumParams frustum{left, right, bottom, top, nearVal, farVal};
    if (showStart.drawLeadIn(sceneDirector, frustum) == 0) return 0;
    return sceneDirector.renderScene(frustum, songPlayer.pictureTimeMs(true));
}

DMD_EXPORT void Done() {
    if (musicStarted != 0) {
        // Offline, nothing is heard and the clock does not run: no fade.
        songPlayer.close(offlineAudio ? 0 : 1);
        musicStarted = 0;
    }
}

DMD_EXPORT int DmdStartAt(int songMs, int framesPerSecond) {
    if (initCalled) return 0;
    return showStart.request(songMs, framesPerSecond) ? 1 : 0;
}

DMD_EXPORT int DmdUseOfflineAudio() {
    if (initCalled) return 0;
    offlineAudio = true;
    songPlayer.useOfflineOutput(true);
    return kOfflineMixRate;
}

DMD_EXPORT int DmdPullAudio(std::int16_t* interleavedStereo, int frames) {
    if (!offlineAudio || musicStarted == 0) return 0;
    return songPlayer.mixOffline(interleavedStereo, frames);
}

DMD_EXPORT int DmdShowEndMs() {
    if (eventTimeline.head == nullptr) {
        // Before Init the script table says it: the end event's first millisecond.
        for (int i = 1; i < kShowScriptLength; ++i) {
            if ((kShowScript[i].sceneFlags & SCENE_END_OF_SHOW) != 0) {
                return firstMsAtOrAfter(kShowScript[i - 1].end);
            }
        }
        return -1;
    }
    for (const TimelineEvent* e = eventTimeline.head; e != nullptr; e = e->next) {
        if ((e->sceneFlags & SCENE_END_OF_SHOW) == 0) continue;
        // The first whole millisecond the director sees inside the end event.
        int ms = static_cast<int>(std::llround(e->start * 1000.0));
        while (ms > 0 && sceneDirector.showOverAt(ms - 1)) --ms;
        while (!sceneDirector.showOverAt(ms)) ++ms;
        return ms;
    }
    return -1;
}

DMD_EXPORT int DmdSeekTo(int songMs, int framesPerSecond) {
    if (musicStarted == 0 || offlineAudio) return 0;
    if (!seekShow(songMs, framesPerSecond, sceneDirector, sceneRenderer.sprites, showStart)) {
        return 0;
    }
    return songPlayer.seekTo(songMs);
}

DMD_EXPORT int DmdSetPaused(int paused) {
    if (musicStarted == 0 || offlineAudio) return 0;
    return songPlayer.setPaused(paused != 0);
}

DMD_EXPORT int DmdSongTimeMs() {
    return musicStarted != 0 ? songPlayer.pictureTimeMs(false) : -1;
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
DMD_EXPORT int DmdSetAudioOffsetMs(int ms) {
    return songPlayer.setAudioOffsetMs(ms) ? 1 : 0;
}

DMD_EXPORT int DmdSetPresentationDelayMs(int ms) {
    return songPlayer.setPresentationDelayMs(ms) ? 1 : 0;
}

DMD_EXPORT int DmdFrameShown() {
    if (musicStarted == 0) return 0;
    songPlayer.frameShown();
    return 1;
}

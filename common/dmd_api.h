// The contract between the launcher and a demo module ("DMD"): the three
// exports and the projection the launcher hands over every frame.
// Header only: the launcher binds the exports by name at run time and has no
// link-time dependency on any module.
#pragma once

#include <cstdint>

// A perspective frustum, in the argument order of glFrustum.
struct FrustumParams {
    double left;
    double right;
    double bottom;
    double top;
    double nearVal;
    double farVal;
};

// The messages the launcher's buffer receives are shorter than this.
constexpr int kMessageBufferSize = 256;

extern "C" {
// deviceContext: opaque handle to the host's window; the module need not use it.
// messageTarget: address of a pointer to the launcher's 256-byte text buffer.
using DmdInitFn = int (*)(void* deviceContext, int soundEnabled, char** messageTarget);
// startTick: milliseconds taken before Init; always1: the integer 1. Neither is read.
using DmdRenderSceneFn = int (*)(std::uint32_t startTick, int always1, double left, double right,
                                 double bottom, double top, double nearVal, double farVal);
using DmdDoneFn = void (*)();

// Optional exports. A host looks them up by name and does without them; the
// three above mean the same whether or not a host uses these.

// Before Init: the show begins at song time songMs instead of 0. Everything
// that depends on earlier frames (the sprite burst's ageing per drawn frame,
// the text-line counter) is brought to where frames drawn at the song times
// of the frame grid below, at framesPerSecond, would have left it. With
// offline audio the first RenderScene also draws the frames since the last
// one that repainted every pixel, so its picture is that of a show played
// from 0; a live window keeps no picture worth that wait.
// 1 = accepted; 0 = refused (after Init, songMs < 0, a rate outside 1..1000).
using DmdStartAtFn = int (*)(int songMs, int framesPerSecond);
// Before Init: the song plays on an offline output with no device and no
// thread. Its clock stands still until the host pulls audio: song time =
// start + frames pulled x 1000 / rate ms, rounded down. Done then closes the
// song without its one-second fade. Returns the mixing rate in Hz (stereo),
// 0 when refused (after Init).
using DmdUseOfflineAudioFn = int (*)();
// After a successful Init with offline audio: mixes the next `frames` stereo
// frames into interleavedStereo (signed 16-bit, left then right) and
// advances the clock by them. Returns the frames written (0 otherwise).
using DmdPullAudioFn = int (*)(std::int16_t* interleavedStereo, int frames);
// Any time after loading: the song time in ms from which RenderScene returns
// 0, the end of the show; -1 when the show has no end.
using DmdShowEndMsFn = int (*)();

// Watching controls, after a successful Init with live audio. DmdSeekTo:
// the show jumps to songMs; the music plays on (or stays paused) from
// exactly there, and the burst, the line counter and, at the next
// RenderScene, the picture are those of a show played from 0 on the grid at
// framesPerSecond. 1 = done; 0 before Init, offline, songMs < 0 or a rate
// outside 1..1000.
using DmdSeekToFn = int (*)(int songMs, int framesPerSecond);
// 1 pauses the music and holds the clock; 0 resumes from the held song time.
// Returns 1 when the state changed.
using DmdSetPausedFn = int (*)(int paused);
// The song time the next RenderScene shows, in ms (-1 before Init).
using DmdSongTimeMsFn = int (*)();

// One event of the show's script, any time after loading (no Init needed).
struct DmdEventInfo {
    int startMs;  // the first whole millisecond inside the event
    int endMs;    // the first whole millisecond after it
    std::uint32_t sceneFlags;
    std::uint32_t overlayFlags;
    char what[160];  // what it shows, in words, comma-separated
};
// index from 0. Returns 1 with info filled, 0 past the last event.
using DmdDescribeEventFn = int (*)(int index, DmdEventInfo* info);
// At any time: 1 when the module fits its own fixed projections to the
// aspect of the frustum it is handed, so that a host may hand it one wider
// than 4:3 (a widescreen picture). Such a module takes the factor from the
// frustum: widening = ((right - left) / (top - bottom)) / (4 / 3), 1 for the
// 4:3 default of +-5 by +-3.75, and multiplies the left and right of every
// projection it sets itself by it (or, below 1, divides bottom and top by
// it). A host hands a module without this export a 4:3 frustum and a 4:3
// viewport (pillar- or letterboxed), so it is never stretched.
using DmdFollowsFrustumAspectFn = int (*)();
// After Init returned 0: why, in words (the file and the system's reason),
// beside the fixed text the buffer received; "" when the module knows no more.
// The text stays valid until the next call into the module.
using DmdFailureDetailFn = const char* (*)();
// At any time: the sound is heard `ms` milliseconds later than the output
// reports (positive: a slow output such as Bluetooth headphones; negative:
// an output that reports more delay than it has). The clock that picks the
// picture reads that much earlier, so the picture waits for the sound; the
// song itself is never moved. Offline audio ignores it: a capture's picture
// and sound come from one clock. After a start, seek or resume the picture
// holds at that song time until the sound reaches it. 1 = accepted; 0 for
// |ms| over 2000.
using DmdSetAudioOffsetMsFn = int (*)(int ms);
// At any time: the picture drawn by RenderScene reaches the screen `ms`
// milliseconds after the buffer swap that follows it returns (one refresh
// where swaps are queued for the display's next refresh, 0 where a swap
// shows the picture at once). The module adds it, with the frame's own time
// from reading the clock to its swap (below), to the heard song time, so
// that a frame shows the song time heard when it appears. 1 = accepted; 0
// outside 0..1000.
using DmdSetPresentationDelayMsFn = int (*)(int ms);
// After every buffer swap that presents a RenderScene picture, right after
// the swap returns: the module times each frame from its clock reading to
// here (the median of the last 15). A host that never calls it is timed
// from one RenderScene to the next, which also counts the host's own turn
// around its loop. 1 = noted; 0 before a successful Init.
using DmdFrameShownFn = int (*)();
}

// Every optional export once, as X(name, member): its function type is
// nameFn above and a binding keeps it in `member`. The name constants, the
// table every binding fills (the host's, the web's linked module's, the
// tests'), and the module's export map (written from this list when the
// build is configured) all follow from it, so adding one means its type
// here, this line, and its definition in the module.
#define DMD_OPTIONAL_EXPORTS(X)                          \
    X(DmdStartAt, startAt)                               \
    X(DmdUseOfflineAudio, useOfflineAudio)               \
    X(DmdPullAudio, pullAudio)                           \
    X(DmdShowEndMs, showEndMs)                           \
    X(DmdSeekTo, seekTo)                                 \
    X(DmdSetPaused, setPaused)                           \
    X(DmdSongTimeMs, songTimeMs)                         \
    X(DmdDescribeEvent, describeEvent)                   \
    X(DmdFollowsFrustumAspect, followsFrustumAspect)     \
    X(DmdFailureDetail, failureDetail)                   \
    X(DmdSetAudioOffsetMs, setAudioOffsetMs)             \
    X(DmdSetPresentationDelayMs, setPresentationDelayMs) \
    X(DmdFrameShown, frameShown)

#define DMD_NAME_CONSTANT(name, member) constexpr const char* k##name##Name = #name;
DMD_OPTIONAL_EXPORTS(DMD_NAME_CONSTANT)
#undef DMD_NAME_CONSTANT

// The optional exports of one module, null where it has none.
struct DmdOptionalExportTable {
#define DMD_POINTER(name, member) name##Fn member = nullptr;
    DMD_OPTIONAL_EXPORTS(DMD_POINTER)
#undef DMD_POINTER
};

// Fills a table by name: lookUp(const char* name) gives the export's
// address or null.
template <typename LookUp>
void bindDmdOptionalExports(DmdOptionalExportTable& table, LookUp lookUp) {
#define DMD_BIND(name, member) table.member = reinterpret_cast<name##Fn>(lookUp(#name));
    DMD_OPTIONAL_EXPORTS(DMD_BIND)
#undef DMD_BIND
}

// The frame grid of captures, shots and starts: frame k shows song time
// k x 1000 / fps ms, rounded down (the clock counts whole milliseconds).
constexpr int kMaxGridFramesPerSecond = 1000;  // keeps the grid's times distinct
constexpr std::int64_t dmdGridMs(std::int64_t frame, int framesPerSecond) {
    return frame * 1000 / framesPerSecond;
}
// The first frame of the grid whose time is songMs or later.
constexpr std::int64_t dmdFirstGridFrameFrom(std::int64_t songMs, int framesPerSecond) {
    return (songMs * framesPerSecond + 999) / 1000;
}

#define DMD_EXPORT extern "C" __attribute__((visibility("default")))

// A demo module built only for the launcher's tests, in several variants
// chosen by compile definitions (which exports it has, whether Init fails).
// It appends what happens to the file named by SORVANEL_HOST_TRACE, the same
// file the launcher traces its own steps into, so tests see one ordered log.
// TEST_DMD_FRAMES (default 0 = unlimited) ends the show after that many frames;
// TEST_DMD_END_ON_FIRST makes the first RenderScene return 0. Each frame
// clears to one colour (0.2, 0.4, 0.6), so a screenshot shows where it drew.
// The TEST_EXPORT_CONTROLS variant has the seek and pause exports over a
// wall-clock song time; its show ends at TEST_DMD_END_MS (default 60 s).
#include <EGL/egl.h>
#include <GL/gl.h>
#include <GL/glx.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/dmd_api.h"

namespace {

int framesDrawn = 0;

// Whether the host has a GL context current: a GLX one (the desktop build's
// window) or an EGL one (offscreen surfaces, and the ES3 build's window).
[[maybe_unused]] bool contextCurrent() {
    return glXGetCurrentContext() != nullptr || eglGetCurrentContext() != EGL_NO_CONTEXT;
}

void log(const char* format, ...) __attribute__((format(printf, 1, 2)));
void log(const char* format, ...) {
    const char* path = std::getenv("SORVANEL_HOST_TRACE");
    if (path == nullptr) return;
    std::FILE* f = std::fopen(path, "a");
    if (f == nullptr) return;
    std::fputs("module ", f);
    va_list args;
    va_start(args, format);
    std::vfprintf(f, format, args);
    va_end(args);
    std::fputc('\n', f);
    std::fclose(f);
}

// TEST_DMD_HANG_IN_<PHASE>: the module never returns from that call (it
// waits for a signal that does not come), as a module stuck in a loop would.
[[maybe_unused]] void hangIf(const char* variable) {
    if (std::getenv(variable) == nullptr) return;
    log("hanging (%s)", variable);
    for (;;) ::pause();
}

[[maybe_unused]] void crashIf(const char* variable) {
    if (std::getenv(variable) != nullptr) std::raise(SIGSEGV);
}

[[maybe_unused]] int frameLimit() {
    const char* v = std::getenv("TEST_DMD_FRAMES");
    return v != nullptr ? std::atoi(v) : 0;
}

// TEST_DMD_LOAD_MARK names a file the module creates as it is loaded (its
// constructors run), so a test can tell that it was never loaded.
struct UnloadWitness {
    UnloadWitness() {
        if (const char* mark = std::getenv("TEST_DMD_LOAD_MARK")) {
            if (std::FILE* f = std::fopen(mark, "w")) std::fclose(f);
        }
#ifdef TEST_PLANTED
        // The planted variant stands for another user's code: each time it
        // runs, it adds a line to TEST_DMD_PLANTED_MARK.
        if (const char* mark = std::getenv("TEST_DMD_PLANTED_MARK")) {
            if (std::FILE* f = std::fopen(mark, "a")) {
                std::fputs("planted code ran\n", f);
                std::fclose(f);
            }
        }
#endif
        // TEST_DMD_CRASH_ON_LOAD: the module dies while it is being loaded.
        if (std::getenv("TEST_DMD_CRASH_ON_LOAD") != nullptr) std::raise(SIGSEGV);
    }
    ~UnloadWitness() {
        log("unloaded");
    }
} unloadWitness;

}  // namespace

#ifdef TEST_EXPORT_INIT
DMD_EXPORT int Init(void* deviceContext, int soundEnabled, char** messageTarget) {
    log("init sound=%d context=%d handle=%d", soundEnabled, contextCurrent(),
        deviceContext != nullptr);
    // TEST_DMD_CRASH_IN_INIT: Init dies of a bad memory access.
    crashIf("TEST_DMD_CRASH_IN_INIT");
    hangIf("TEST_DMD_HANG_IN_INIT");
#ifdef TEST_INIT_FAILS
    std::strcpy(*messageTarget, "Test module refused to start!");
    return 0;
#else
    (void)messageTarget;
    return 1;
#endif
}
#endif

#ifdef TEST_EXPORT_CONTROLS
namespace {

using Clock = std::chrono::steady_clock;
int heldMs = 0;  // the song time at the last seek or pause
Clock::time_point heldAt = Clock::now();
bool paused = false;

int endMs() {
    const char* v = std::getenv("TEST_DMD_END_MS");
    return v != nullptr ? std::atoi(v) : 60000;
}

}  // namespace

DMD_EXPORT int DmdSongTimeMs() {
    if (paused) return heldMs;
    const auto ran = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - heldAt);
    return heldMs + static_cast<int>(ran.count());
}

DMD_EXPORT int DmdSeekTo(int songMs, int framesPerSecond) {
    log("seek %d fps=%d", songMs, framesPerSecond);
    heldMs = songMs;
    heldAt = Clock::now();
    return 1;
}

DMD_EXPORT int DmdSetPaused(int pause) {
    if ((pause != 0) == paused) return 0;
    heldMs = DmdSongTimeMs();
    heldAt = Clock::now();
    paused = pause != 0;
    log("paused %d", pause);
    return 1;
}

DMD_EXPORT int DmdShowEndMs() {
    return endMs();
}
#endif

#ifdef TEST_EXPORT_RENDER
DMD_EXPORT int RenderScene(std::uint32_t, int always1, double left, double right, double bottom,
                           double top, double nearVal, double farVal) {
    if (framesDrawn == 0 || std::getenv("TEST_DMD_LOG_EVERY_FRAME") != nullptr) {
        GLint viewport[4] = {};
        glGetIntegerv(GL_VIEWPORT, viewport);
        log("frame %d always1=%d frustum=%g,%g,%g,%g,%g,%g viewport=%d,%d at=%d,%d", framesDrawn,
            always1, left, right, bottom, top, nearVal, farVal, viewport[2], viewport[3],
            viewport[0], viewport[1]);
    }
    if (std::getenv("TEST_DMD_END_ON_FIRST") != nullptr) return 0;
    // TEST_DMD_CRASH_AT_FRAME / TEST_DMD_HANG_AT_FRAME: frame N (from 0) dies
    // or never returns.
    auto atThisFrame = [](const char* variable) {
        const char* at = std::getenv(variable);
        return at != nullptr && std::atoi(at) == framesDrawn;
    };
    if (atThisFrame("TEST_DMD_CRASH_AT_FRAME")) std::raise(SIGSEGV);
    if (atThisFrame("TEST_DMD_HANG_AT_FRAME")) hangIf("TEST_DMD_HANG_AT_FRAME");
#ifdef TEST_EXPORT_CONTROLS
    if (DmdSongTimeMs() >= endMs()) return 0;
#endif
    ++framesDrawn;
    const int limit = frameLimit();
    if (limit > 0 && framesDrawn > limit) return 0;
    glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    return 1;
}
#endif

#ifdef TEST_EXPORT_DONE
DMD_EXPORT void Done() {
    log("done context=%d", contextCurrent());
    crashIf("TEST_DMD_CRASH_IN_DONE");
    hangIf("TEST_DMD_HANG_IN_DONE");
}
#endif

#ifdef TEST_EXPORT_OFFLINE
// Rendered offscreen like the real module: a start, a silent offline song
// at 44100 Hz whose clock the pulled frames move, and an end at
// TEST_DMD_END_MS (default 60 s).
namespace {

constexpr int kOfflineRate = 44100;
int offlineStartMs = 0;
long long framesPulled = 0;

}  // namespace

DMD_EXPORT int DmdStartAt(int songMs, int framesPerSecond) {
    if (songMs < 0 || framesPerSecond < 1 || framesPerSecond > 1000) return 0;
    offlineStartMs = songMs;
    return 1;
}

DMD_EXPORT int DmdUseOfflineAudio() {
    return kOfflineRate;
}

DMD_EXPORT int DmdPullAudio(std::int16_t* interleavedStereo, int frames) {
    crashIf("TEST_DMD_CRASH_IN_PULL");
    std::memset(interleavedStereo, 0, static_cast<std::size_t>(frames) * 4);
    framesPulled += frames;
    return frames;
}

DMD_EXPORT int DmdSongTimeMs() {
    return offlineStartMs + static_cast<int>(framesPulled * 1000 / kOfflineRate);
}

DMD_EXPORT int DmdShowEndMs() {
    const char* v = std::getenv("TEST_DMD_END_MS");
    return v != nullptr ? std::atoi(v) : 60000;
}
#endif

#ifdef TEST_EXPORT_WIDE
// Says it fits its projections to the frustum's aspect: a host may hand it a
// widescreen frustum.
DMD_EXPORT int DmdFollowsFrustumAspect() {
    return 1;
}
#endif

// Something to export in the variant that has none of the three.
DMD_EXPORT int TestModuleFramesDrawn() {
    return framesDrawn;
}

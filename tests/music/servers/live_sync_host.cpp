// A test host for the live show's timing: it plays the real module as the
// launcher does (an SDL window, Init with sound, one RenderScene and one
// swap per idle turn, Done at the end), and prints for every swap the song
// time the frame shows and the CLOCK_MONOTONIC instant the swap returned
// (and tells the module, DmdFrameShown, where it has that export):
//   host swap song=MS at=NS
// Usage: live_sync_host MODULE START_S SECONDS [AUDIO_OFFSET_MS]
// It plays SECONDS of song time from START_S, then ends as Esc would.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/dmd_api.h"
#include "monotonic_ns.h"
#include "platforms/sdl_window.h"

namespace {

template <typename Fn>
Fn symbol(void* handle, const char* name) {
    return reinterpret_cast<Fn>(::dlsym(handle, name));
}

int fail(const std::string& why) {
    std::fprintf(stderr, "live_sync_host: %s\n", why.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return fail("usage: live_sync_host MODULE START_S SECONDS [AUDIO_OFFSET_MS]");
    const int startMs = std::atoi(argv[2]) * 1000;
    const int endMs = startMs + std::atoi(argv[3]) * 1000;
    void* module = ::dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) return fail(::dlerror());
    auto init = symbol<DmdInitFn>(module, "Init");
    auto render = symbol<DmdRenderSceneFn>(module, "RenderScene");
    auto done = symbol<DmdDoneFn>(module, "Done");
    auto startAt = symbol<DmdStartAtFn>(module, kDmdStartAtName);
    auto songTime = symbol<DmdSongTimeMsFn>(module, kDmdSongTimeMsName);
    auto setOffset = symbol<DmdSetAudioOffsetMsFn>(module, kDmdSetAudioOffsetMsName);
    auto frameShown = symbol<DmdFrameShownFn>(module, kDmdFrameShownName);
    if (!init || !render || !done || !startAt || !songTime) return fail("exports missing");
    if (argc > 4) {
        if (setOffset == nullptr) return fail("the module has no audio offset");
        if (setOffset(std::atoi(argv[4])) == 0) return fail("the offset was refused");
    }
    if (startAt(startMs, 60) == 0) return fail("the start was refused");

    SdlWindow window;
    std::string error;
    // Small, so that frames come often and each is timed finely.
    if (!window.create("live sync host", 320, 240, false, error)) return fail(error);
    window.show();
    char message[kMessageBufferSize] = {};
    char* target = message;
    if (init(window.nativeHandle(), 1, &target) == 0) return fail(message);
    std::printf("host started\n");
    std::fflush(stdout);
    const FrustumParams f{-5.0, 5.0, -3.75, 3.75, 1.0, 255.0};
    for (bool running = true; running;) {
        switch (window.poll()) {
            case SdlWindow::Event::CloseRequest:
            case SdlWindow::Event::EscapePressed:
                running = false;
                break;
            case SdlWindow::Event::None: {
                const int ms = songTime();
                if (ms >= endMs) {
                    running = false;
                    break;
                }
                if (render(0, 1, f.left, f.right, f.bottom, f.top, f.nearVal, f.farVal) == 0) {
                    running = false;
                    break;
                }
                window.swapBuffers();
                if (frameShown != nullptr) frameShown();
                std::printf("host swap song=%d at=%lld\n", ms,
                            static_cast<long long>(monotonicNs()));
                break;
            }
            default:
                break;
        }
    }
    window.releaseContext();
    done();
    window.destroy();
    std::printf("host done\n");
    ::dlclose(module);
    return 0;
}

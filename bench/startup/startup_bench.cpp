// Where the time from launch to the first frame goes, for a 320 x 240 shot
// at 0.5 s. Three views, each figure the best of RUNS fresh processes:
// - Init's steps one by one (pictures, song, font, script) on the module's
//   own code, after an offscreen context like the shot's;
// - the real sorvanel.dmd loaded as a host loads it: context, library load
//   and binding, Init as a whole, the first frame drawn and read back;
// - talvenor --shot 0.5 x.png --size 320x240 from launch to exit.
//   startup_bench [RUNS [FOLDER]]   (default 5, the build folder)
// FOLDER holds talvenor, sorvanel.dmd and their data, e.g. an older build to
// compare with; Init's steps always run on the code this bench was built with.
#include <GL/gl.h>
#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "assets/picture_startup.h"
#include "assets/temp_directory.h"
#include "assets/texture_slot.h"
#include "common/dmd_api.h"
#include "effects/outline_text.h"
#include "music/song_player.h"
#include "offscreen/egl_offscreen.h"
#include "show/event_timeline.h"
#include "show_bench.h"

namespace fs = std::filesystem;

namespace {

fs::path showFolder = SORVANEL_BENCH_BUILD_DIR;

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr int kShotMs = 500;
constexpr int kFps = 60;
constexpr int kMaxSteps = 8;

using Steps = std::array<double, kMaxSteps>;

// Runs `body` in a fresh process in the build folder and returns what it
// measured; all -1 when the child failed.
template <typename Body>
Steps inChild(const fs::path& runtime, Body body) {
    Steps steps;
    steps.fill(-1.0);
    int channel[2];
    if (pipe(channel) != 0) return steps;
    const pid_t pid = fork();
    if (pid == 0) {
        close(channel[0]);
        if (chdir(showFolder.c_str()) != 0) _exit(126);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        Steps measured;
        measured.fill(-1.0);
        const bool ok = body(measured);
        const ssize_t put = write(channel[1], measured.data(), sizeof measured);
        _exit(ok && put == static_cast<ssize_t>(sizeof measured) ? 0 : 1);
    }
    close(channel[1]);
    Steps got;
    const bool read = ::read(channel[0], got.data(), sizeof got) == sizeof got;
    close(channel[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (read && WIFEXITED(status) && WEXITSTATUS(status) == 0) steps = got;
    return steps;
}

// Init's steps on the module's code, in Init's order.
bool initSteps(Steps& out) {
    BenchClock::time_point t = BenchClock::now();
    EglOffscreen gl(kWidth, kHeight);
    if (!gl.ok()) return false;
    applyHostState(kWidth, kHeight);
    out[0] = msSince(t);

    t = BenchClock::now();
    static TextureSlot slots[kTextureSlotCount];
    std::string why;
    const int failed = loadPicturesFromArchive(privateTempDirectory(why), slots);
    out[1] = msSince(t);

    t = BenchClock::now();
    static SongPlayer player;
    char message[kMessageBufferSize] = {};
    char* target = message;
    player.setSongName("Sorvanel.it");
    player.useOfflineOutput(true);
    const int opened = player.open(&target, 1);
    out[2] = msSince(t);

    t = BenchClock::now();
    static OutlineText text;
    text.depth = 0.1f;
    text.createFont(nullptr, "Arial Black", 0.1f);
    out[3] = msSince(t);

    t = BenchClock::now();
    static EventTimeline timeline;
    const bool built = timeline.buildScript();
    out[4] = msSince(t);

    t = BenchClock::now();
    player.setStartMs(kShotMs);
    player.play();
    out[5] = msSince(t);
    if (opened != 0) player.close(0);
    return failed == -1 && opened != 0 && built;
}

// The real module, as the offscreen host drives it for a shot.
bool realModule(Steps& out) {
    BenchClock::time_point t = BenchClock::now();
    EglOffscreen gl(kWidth, kHeight);
    if (!gl.ok()) return false;
    const FrustumParams f = applyHostState(kWidth, kHeight);
    out[0] = msSince(t);

    t = BenchClock::now();
    const std::string modulePath = (showFolder / "sorvanel.dmd").string();
    void* library = dlopen(modulePath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) return false;
    auto init = reinterpret_cast<DmdInitFn>(dlsym(library, "Init"));
    auto render = reinterpret_cast<DmdRenderSceneFn>(dlsym(library, "RenderScene"));
    auto done = reinterpret_cast<DmdDoneFn>(dlsym(library, "Done"));
    auto offline = reinterpret_cast<int (*)()>(dlsym(library, kDmdUseOfflineAudioName));
    auto startAt = reinterpret_cast<int (*)(int, int)>(dlsym(library, kDmdStartAtName));
    if (!init || !render || !done || !offline || !startAt) return false;
    out[1] = msSince(t);

    t = BenchClock::now();
    char message[kMessageBufferSize] = {};
    char* target = message;
    const bool started = offline() > 0 && startAt(kShotMs, kFps) != 0 && init(nullptr, 1, &target);
    out[2] = msSince(t);
    if (!started) return false;

    t = BenchClock::now();
    render(0, 1, f.left, f.right, f.bottom, f.top, f.nearVal, f.farVal);
    const std::vector<std::uint8_t> pixels = gl.readPixels();
    out[3] = msSince(t);
    done();
    return !pixels.empty();
}

// talvenor's shot from fork to exit.
bool shotRun(const fs::path& picture, Steps& out) {
    const BenchClock::time_point t = BenchClock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        std::FILE* quiet = std::freopen("/dev/null", "w", stderr);
        (void)quiet;
        const std::string path = picture.string();
        const std::string talvenor = (showFolder / "talvenor").string();
        if (chdir(showFolder.c_str()) != 0) _exit(126);
        execl(talvenor.c_str(), talvenor.c_str(), "--shot", "0.5", path.c_str(), "--size",
              "320x240", static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    out[0] = msSince(t);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The best of runs, step by step; a failed run counts as missing.
template <typename Measure>
Steps best(int runs, Measure measure) {
    Steps result;
    result.fill(1e18);
    bool any = false;
    for (int i = 0; i < runs; ++i) {
        const Steps s = measure();
        if (s[0] < 0.0) continue;
        any = true;
        for (int k = 0; k < kMaxSteps; ++k) result[k] = std::min(result[k], s[k]);
    }
    if (!any) result.fill(-1.0);
    return result;
}

void printSteps(const char* title, const Steps& s, const std::vector<const char*>& names) {
    std::printf("%s\n", title);
    if (s[0] < 0.0) {
        std::printf("  failed\n\n");
        return;
    }
    double total = 0.0;
    for (std::size_t k = 0; k < names.size(); ++k) {
        std::printf("  %-38s %8.1f ms\n", names[k], s[k]);
        total += s[k];
    }
    if (names.size() > 1) std::printf("  %-38s %8.1f ms\n", "sum", total);
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    if (argc > 2) showFolder = fs::absolute(argv[2]);
    const fs::path scratch =
        fs::temp_directory_path() / ("startup-bench-" + std::to_string(getpid()));
    const fs::path runtime = scratch / "runtime";
    fs::create_directories(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    const fs::path picture = scratch / "shot.png";

    // llvmpipe compiles its shaders on first use and keeps them on disk.
    Steps warm{};
    shotRun(picture, warm);

    std::printf(
        "Start-up of a %dx%d shot at %.1f s, best of %d fresh processes each;\n"
        "the show from %s\n\n",
        kWidth, kHeight, kShotMs / 1000.0, runs, showFolder.c_str());
    const Steps steps = best(runs, [&] { return inChild(runtime, initSteps); });
    printSteps(
        "Init's steps on the module's code:", steps,
        {"offscreen context", "pictures (unpack, 9 loads, delete)", "song (sound layer, load)",
         "font (255 glyph lists)", "script (91 events)", "song started at 0.5 s"});
    const Steps module = best(runs, [&] { return inChild(runtime, realModule); });
    printSteps("sorvanel.dmd as a host drives it:", module,
               {"offscreen context", "module load (its libraries preloaded)", "Init",
                "first frame and read-back"});
    const Steps shot = best(runs, [&] {
        Steps s;
        s.fill(-1.0);
        Steps t{};
        if (shotRun(picture, t)) s = t;
        return s;
    });
    printSteps("talvenor --shot 0.5 x.png --size 320x240, launch to exit:", shot, {"total"});
    fs::remove_all(scratch);
    return 0;
}

// Prints, per scene, milliseconds per frame of the show drawn two ways in one
// process on llvmpipe: through desktop GL (this build's sorvanel.dmd on an
// OpenGL 2.1 context) and through the GL subset (an ES3 build's sorvanel.dmd
// and libsorvanel_gl.so on an OpenGL ES 3.0 context), and the ratio
// subset / desktop. Each module is driven as the host drives it: the default
// projection and state before Init, then a seek to the scene with the clock
// paused, so that every frame draws the same instant. The scenes are the
// script's heaviest mesh scenes and the golden instants; measurements
// alternate in rounds to share any load fairly.
// Usage: subset_bench [seconds per measurement] [ES3 build folder] [WxH] [scene]
// (a scene name such as figure_a or "event 52" measures that one alone)
#include <GL/gl.h>
#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "common/dmd_api.h"
#include "offscreen/egl_offscreen.h"
#include "show_bench.h"

namespace {

constexpr int kWarmUpFrames = 4;
constexpr int kRounds = 8;
constexpr double kTargetRatio = 1.2;

// The few GL calls the host makes, from one GL or the other.
struct HostGl {
    void (*viewport)(int, int, int, int);
    void (*matrixMode)(unsigned);
    void (*loadIdentity)();
    void (*frustum)(double, double, double, double, double, double);
    void (*enable)(unsigned);
    void (*cullFace)(unsigned);
    void (*finish)();
};

// One way of drawing: a module on a context of its kind.
struct Path {
    const char* name;
    std::unique_ptr<EglOffscreen> surface;
    void* glLibrary = nullptr;
    void* module = nullptr;
    HostGl gl{};
    DmdInitFn init = nullptr;
    DmdRenderSceneFn renderScene = nullptr;
    DmdDoneFn done = nullptr;
    DmdSeekToFn seekTo = nullptr;
    DmdSetPausedFn setPaused = nullptr;
};

template <typename F>
bool bind(void* library, const char* name, F& out) {
    out = reinterpret_cast<F>(dlsym(library, name));
    return out != nullptr;
}

bool bindSubsetGl(void* library, HostGl& gl) {
    return bind(library, "sgl_Viewport", gl.viewport) &&
           bind(library, "sgl_MatrixMode", gl.matrixMode) &&
           bind(library, "sgl_LoadIdentity", gl.loadIdentity) &&
           bind(library, "sgl_Frustum", gl.frustum) && bind(library, "sgl_Enable", gl.enable) &&
           bind(library, "sgl_CullFace", gl.cullFace) && bind(library, "sgl_Finish", gl.finish);
}

// Loads the module in folder (its data files are there) onto a new context
// and starts it with the host's state; false with a message on failure.
bool open(Path& p, const std::string& folder, GlApi api, int width, int height,
          const FrustumParams& f) {
    p.surface = std::make_unique<EglOffscreen>(width, height, api);
    if (!p.surface->ok()) {
        std::printf("%s: no context: %s\n", p.name, p.surface->error().c_str());
        return false;
    }
    if (api == GlApi::Es30) {
        // The module's own copy of the subset, so host and module share it.
        p.glLibrary = dlopen((folder + "/libsorvanel_gl.so").c_str(), RTLD_NOW | RTLD_LOCAL);
        if (p.glLibrary == nullptr || !bindSubsetGl(p.glLibrary, p.gl)) {
            std::printf("%s: %s\n", p.name, dlerror());
            return false;
        }
    } else {
        p.gl = {glViewport, glMatrixMode, glLoadIdentity, glFrustum,
                glEnable,   glCullFace,   glFinish};
    }
    p.module = dlopen((folder + "/sorvanel.dmd").c_str(), RTLD_NOW | RTLD_LOCAL);
    if (p.module == nullptr || !bind(p.module, "Init", p.init) ||
        !bind(p.module, "RenderScene", p.renderScene) || !bind(p.module, "Done", p.done) ||
        !bind(p.module, kDmdSeekToName, p.seekTo) ||
        !bind(p.module, kDmdSetPausedName, p.setPaused)) {
        std::printf("%s: no module in %s (%s)\n", p.name, folder.c_str(), dlerror());
        return false;
    }
    p.gl.viewport(0, 0, width, height);
    p.gl.matrixMode(GL_PROJECTION);
    p.gl.loadIdentity();
    p.gl.frustum(f.left, f.right, f.bottom, f.top, f.nearVal, f.farVal);
    p.gl.matrixMode(GL_MODELVIEW);
    p.gl.loadIdentity();
    for (const unsigned cap : {GL_TEXTURE_2D, GL_NORMALIZE, GL_DEPTH_TEST}) p.gl.enable(cap);
    p.gl.cullFace(GL_BACK);
    p.gl.enable(GL_CULL_FACE);
    // The module opens its data by bare name: from its own build folder.
    char message[kMessageBufferSize] = {};
    char* target = message;
    if (chdir(folder.c_str()) != 0 || p.init(nullptr, 0, &target) == 0) {
        std::printf("%s: Init failed: %s\n", p.name, message);
        return false;
    }
    return true;
}

void close(Path& p) {
    if (p.surface == nullptr || !p.surface->makeCurrent()) return;
    if (p.done != nullptr) p.done();
    if (p.module != nullptr) dlclose(p.module);
    p.surface->releaseContext();
    p.surface.reset();
    if (p.glLibrary != nullptr) dlclose(p.glLibrary);
}

// Milliseconds of drawing per frame, added up over slices: wall time, and
// the processor time of the whole process (llvmpipe's threads included),
// which other programs on the machine change far less.
struct Timing {
    double ms = 0.0;
    double cpuMs = 0.0;
    int frames = 0;
    double frameMs() const { return frames > 0 ? ms / frames : 0.0; }
    double cpuFrameMs() const { return frames > 0 ? cpuMs / frames : 0.0; }
};

void frame(Path& p, const FrustumParams& f) {
    p.renderScene(0, 1, f.left, f.right, f.bottom, f.top, f.nearVal, f.farVal);
    p.surface->present();
    p.gl.finish();
}

void measure(Path& p, const FrustumParams& f, double seconds, Timing& t) {
    p.surface->makeCurrent();
    const auto start = BenchClock::now();
    const double cpuStart = processCpuMs();
    while (msSince(start) < seconds * 1000.0) {
        frame(p, f);
        ++t.frames;
    }
    t.ms += msSince(start);
    t.cpuMs += processCpuMs() - cpuStart;
}

struct Scene {
    std::string name;
    double songSeconds;
};

// The golden instants by name, then the heaviest mesh scenes by event.
std::vector<Scene> scenes() {
    std::vector<Scene> list = {
        {"burst", 0.5},       {"credits_at_rest", 14.25}, {"title", 16.5},
        {"trails", 17.2},     {"fade_add_down", 21.0},    {"figure_a", 30.0},
        {"text_scene", 60.0}, {"fade_to_black", 120.5},   {"fade_from_black", 125.0},
        {"swarm", 135.0},     {"fade_add_up", 232.5},     {"circle_a", 250.0},
        {"circle_b", 370.0},  {"triple_swarm", 1370.0}};
    for (const BenchScene& s : heaviestMeshScenes()) {
        list.push_back({"event " + std::to_string(s.event), s.songSeconds});
    }
    return list;
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::max(0.1, std::atof(argv[1])) : 0.5;
    const std::string es3 = argc > 2 && argv[2][0] != '\0' ? argv[2] : SORVANEL_ES3_BUILD;
    int width = 640, height = 480;
    if (argc > 3 &&
        (std::sscanf(argv[3], "%dx%d", &width, &height) != 2 || width <= 0 || height <= 0)) {
        std::fprintf(stderr, "usage: subset_bench [seconds] [ES3 build folder] [WxH] [scene]\n");
        return 2;
    }
    const double aspect = static_cast<double>(width) / height;
    const FrustumParams f{-5.0, 5.0, -5.0 / aspect, 5.0 / aspect, 1.0, 255.0};
    Path desktop{"desktop GL", nullptr};
    Path subset{"GL subset", nullptr};
    if (!open(desktop, SORVANEL_BUILD, GlApi::Desktop21, width, height, f) ||
        !open(subset, es3, GlApi::Es30, width, height, f)) {
        return 1;
    }
    std::printf(
        "%dx%d, %.1f s per way and scene in %d rounds. Milliseconds per frame (draw, present,\n"
        "finish): processor time of all threads, wall time in brackets. The ratio is\n"
        "subset / desktop processor time.\n%-16s %8s %17s %17s %6s\n",
        width, height, seconds, kRounds, "scene", "song s", "desktop", "subset", "ratio");
    double worst = 0.0;
    const std::string only = argc > 4 ? argv[4] : "";
    for (const Scene& scene : scenes()) {
        if (!only.empty() && scene.name != only) continue;
        const int songMs = static_cast<int>(scene.songSeconds * 1000.0 + 0.5);
        Timing timings[2];
        Path* paths[2] = {&desktop, &subset};
        for (Path* p : paths) {
            p->surface->makeCurrent();
            p->seekTo(songMs, 60);
            p->setPaused(1);
            for (int i = 0; i < kWarmUpFrames; ++i) frame(*p, f);
        }
        for (int round = 0; round < kRounds; ++round) {
            for (int w = 0; w < 2; ++w) measure(*paths[w], f, seconds / kRounds, timings[w]);
        }
        const double ratio = timings[1].cpuFrameMs() / timings[0].cpuFrameMs();
        worst = std::max(worst, ratio);
        std::printf("%-16s %8.2f %8.2f (%6.2f) %8.2f (%6.2f) %6.2f\n", scene.name.c_str(),
                    scene.songSeconds, timings[0].cpuFrameMs(), timings[0].frameMs(),
                    timings[1].cpuFrameMs(), timings[1].frameMs(), ratio);
    }
    std::printf("worst ratio subset / desktop %.2f (target %.1f): %s\n", worst, kTargetRatio,
                worst <= kTargetRatio ? "met" : "missed");
    close(subset);
    close(desktop);
    return 0;
}

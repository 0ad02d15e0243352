// Prints frames per second of the script's heaviest mesh scenes at three
// sizes on an offscreen context: the circle scenes (events 52 to 66: the
// bumped globe round the eye and six twisted rings, with fades), the triple
// swarm (events 82 to 84: fifteen blobs) and a text scene with its enclosing
// blob (event 8). Each frame is composed by the real scene director with the
// script's textures, once per mesh emission mode, and compared with a minimal
// loop that replays the same frame recorded into one display list.
// Usage: mesh_bench [seconds per measurement] [sizes: 640x480,1280x720,...]
#include <GL/gl.h>
#include <stdlib.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "assets/archive.h"
#include "assets/texture_slot.h"
#include "effects/scene_renderer.h"
#include "meshes/baked_mesh_set.h"
#include "offscreen/egl_offscreen.h"
#include "show/event_timeline.h"
#include "show/gl_frame_state.h"
#include "show/scene_director.h"
#include "show_bench.h"

namespace {

namespace fs = std::filesystem;
using Clock = BenchClock;

constexpr int kWarmUpFrames = 5;
constexpr int kRounds = 4;  // measurements alternate in rounds to share any load fairly
constexpr double kTargetFps = 60.0;
constexpr double kTargetRatio = 1.3;

// Milliseconds per frame over `rounds` slices of `seconds`, interleaved with
// the other ways by the caller.
struct Timing {
    double ms = 0.0;
    double cpuMs = 0.0;
    int frames = 0;
    double fps() const { return frames / (ms * 0.001); }
    double frameMs() const { return ms / frames; }
    double cpuFrameMs() const { return cpuMs / frames; }
};

void measure(const std::function<void()>& frame, EglOffscreen& gl, double seconds, Timing& t) {
    const auto start = Clock::now();
    const double cpuStart = processCpuMs();
    while (msSince(start) < seconds * 1000.0) {
        frame();
        gl.present();
        glFinish();
        ++t.frames;
    }
    t.ms += msSince(start);
    t.cpuMs += processCpuMs() - cpuStart;
}

struct Way {
    const char* name;
    MeshEmission emission;  // ignored by the replayed list
    bool replay;
};
const Way kWays[] = {
    {"immediate", MeshEmission::Immediate, false},
    {"arrays", MeshEmission::VertexArrays, false},
    {"lists", MeshEmission::DisplayLists, false},
    {"replay", MeshEmission::Immediate, true},
};
constexpr int kWayCount = 4;

struct SizeVerdict {
    double slowestFps = 1e300;
    double worstRatio = 0.0;
};

SizeVerdict benchSize(int width, int height, double seconds) {
    SizeVerdict verdict;
    EglOffscreen gl(width, height);
    if (!gl.ok()) {
        std::printf("no %dx%d offscreen context: %s\n", width, height, gl.error().c_str());
        return verdict;
    }
    const FrustumParams frustum = applyHostState(width, height);
    TextureSlot slots[kTextureSlotCount];
    const BenchPictures pictures(slots);
    SceneRenderer renderer;
    renderer.text.depth = 0.1f;
    renderer.text.createFont(nullptr, "Arial Black", 0.1f);
    GlFrameState state(slots);
    EventTimeline script;
    script.buildScript();
    SceneDirector director(script, renderer, state);

    std::printf(
        "\n%dx%d: frames per second (processor ms per frame, all threads) by mesh\n"
        "emission; 'replay' is the same frame recorded into one display list;\n"
        "ratio = arrays / replay wall time per frame\n",
        width, height);
    std::printf("%-5s %7s  %16s %16s %16s %16s  %5s\n", "event", "song s", "immediate", "arrays",
                "lists", "replay", "ratio");
    for (const BenchScene& scene : heaviestMeshScenes()) {
        const int songMs = static_cast<int>(scene.songSeconds * 1000.0 + 0.5);
        // The minimal loop: the director's whole frame compiled once.
        renderer.meshes.setEmission(MeshEmission::Immediate);
        const GLuint frameList = glGenLists(1);
        glNewList(frameList, GL_COMPILE);
        director.renderScene(frustum, songMs);
        glEndList();

        Timing timings[kWayCount];
        for (int round = 0; round < kRounds; ++round) {
            for (int w = 0; w < kWayCount; ++w) {
                renderer.meshes.setEmission(kWays[w].emission);
                const std::function<void()> frame =
                    kWays[w].replay
                        ? std::function<void()>([&] { glCallList(frameList); })
                        : std::function<void()>([&] { director.renderScene(frustum, songMs); });
                if (round == 0) {
                    for (int i = 0; i < kWarmUpFrames; ++i) frame();
                    glFinish();
                }
                measure(frame, gl, seconds / kRounds, timings[w]);
            }
        }
        glDeleteLists(frameList, 1);
        const double ratio = timings[1].frameMs() / timings[3].frameMs();
        std::printf("%-5d %7.1f ", scene.event, scene.songSeconds);
        for (const Timing& t : timings) std::printf(" %7.1f (%5.1f ms)", t.fps(), t.cpuFrameMs());
        std::printf("  %5.2f\n", ratio);
        verdict.slowestFps = std::min(verdict.slowestFps, timings[1].fps());
        verdict.worstRatio = std::max(verdict.worstRatio, ratio);
    }
    if (pictures.loaded != kTextureSlotCount) {
        std::printf("  (%d of 9 pictures loaded)\n", pictures.loaded);
    }
    return verdict;
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::max(0.1, std::atof(argv[1])) : 1.0;
    const char* sizes = argc > 2 ? argv[2] : "640x480,1280x720,1920x1080";
    std::printf("mesh emission default: arrays; %.1f s per measurement in %d rounds\n", seconds,
                kRounds);
    for (const char* at = sizes; *at != '\0';) {
        int width = 0, height = 0;
        if (std::sscanf(at, "%dx%d", &width, &height) != 2 || width <= 0 || height <= 0) break;
        const SizeVerdict v = benchSize(width, height, seconds);
        std::printf("%dx%d slowest %.1f fps (target %.0f), worst ratio %.2f (target %.1f): %s\n",
                    width, height, v.slowestFps, kTargetFps, v.worstRatio, kTargetRatio,
                    v.slowestFps >= kTargetFps && v.worstRatio <= kTargetRatio ? "met" : "missed");
        const char* comma = std::strchr(at, ',');
        if (comma == nullptr) break;
        at = comma + 1;
    }
    return 0;
}

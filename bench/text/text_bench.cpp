// Prints how long the outline font takes to build (fontconfig lookup,
// FreeType outlines, tessellation and 255 display lists) and how many frames
// per second the text frames reach on an offscreen context, composed by the
// real scene director: the opening at 14.5 s (eight credit names and four
// layers of the title word) and a text scene at 60 s (both wave-text lines),
// each once with the texts alone and once as the whole scripted frame.
// Textures come from the archive the build wrote; without it the slots hold
// their fallback checkerboards. Usage: text_bench [seconds per measurement]
#include <GL/gl.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "assets/archive.h"
#include "assets/texture_slot.h"
#include "effects/font_face.h"
#include "effects/scene_renderer.h"
#include "offscreen/egl_offscreen.h"
#include "show/event_timeline.h"
#include "show/gl_frame_state.h"
#include "show/scene_director.h"
#include "show_bench.h"

namespace {

namespace fs = std::filesystem;
using Clock = BenchClock;

constexpr const char* kFaceName = "Arial Black";
constexpr float kGlyphDepth = 0.1f;
constexpr int kFontBuilds = 10;
constexpr int kWarmUpFrames = 5;

void benchFontBuild() {
    EglOffscreen gl(64, 64);
    if (!gl.ok()) {
        std::printf("no offscreen context: %s\n", gl.error().c_str());
        return;
    }
    const FontFaceFile face = findHeavyFontFace(kFaceName);
    std::printf("font for \"%s\": %s (weight %d)%s\n  %s\n", kFaceName, face.family.c_str(),
                face.weight, face.matchedRequest ? "" : ", standing in", face.path.c_str());
    std::vector<double> times;
    for (int i = 0; i < kFontBuilds; ++i) {
        OutlineText text;
        const auto start = Clock::now();
        text.createFont(nullptr, kFaceName, kGlyphDepth);
        glFinish();
        times.push_back(msSince(start));
    }
    const double first = times.front();
    std::sort(times.begin() + 1, times.end());
    std::printf("glyph lists (255): first build %.1f ms, then median %.1f ms, best %.1f ms\n",
                first, times[1 + (times.size() - 1) / 2], times[1]);
}

// Scripts holding only the text overlays of the real events, with the same
// textures and the same event-local times as the show at 14.5 s and 60 s.
void buildTextOnlyScript(EventTimeline& timeline) {
    timeline.add(14.3, 0x3, 0, 0, 0x10, 1, 0x200, 0, 0);
    timeline.add(17.0, 0x3, 0, 0, 0x30, 1, 0x200, 2, 0x201);
    timeline.add(38.4, 0x3, 0, 0, 0, 0, 0, 0, 0);
    timeline.add(118.0, 0x3, 0, 0, 0xc1, 2, 0x200, 1, 0x200);
}

double framesPerSecond(SceneDirector& director, const FrustumParams& frustum, int songMs,
                       EglOffscreen& gl, double seconds) {
    for (int i = 0; i < kWarmUpFrames; ++i) {
        director.renderScene(frustum, songMs);
        gl.present();
    }
    glFinish();
    int frames = 0;
    const auto start = Clock::now();
    while (msSince(start) < seconds * 1000.0) {
        director.renderScene(frustum, songMs);
        gl.present();
        glFinish();
        ++frames;
    }
    return frames / (msSince(start) * 0.001);
}

void benchFrames(int width, int height, double seconds) {
    EglOffscreen gl(width, height);
    if (!gl.ok()) {
        std::printf("no %dx%d offscreen context: %s\n", width, height, gl.error().c_str());
        return;
    }
    const FrustumParams frustum = applyHostState(width, height);
    TextureSlot slots[kTextureSlotCount];
    const BenchPictures pictures(slots);
    SceneRenderer renderer;
    renderer.text.depth = kGlyphDepth;
    renderer.text.createFont(nullptr, kFaceName, kGlyphDepth);
    GlFrameState state(slots);

    EventTimeline script;
    script.buildScript();
    EventTimeline textOnly;
    buildTextOnlyScript(textOnly);

    struct Case {
        const char* name;
        int songMs;
    };
    for (const Case c : {Case{"opening 14.5 s", 14500}, Case{"text scene 60 s", 60000}}) {
        SceneDirector textDirector(textOnly, renderer, state);
        const double texts = framesPerSecond(textDirector, frustum, c.songMs, gl, seconds);
        SceneDirector fullDirector(script, renderer, state);
        const double whole = framesPerSecond(fullDirector, frustum, c.songMs, gl, seconds);
        std::printf("%4dx%-4d %-16s texts alone %7.1f fps, whole frame %7.1f fps\n", width, height,
                    c.name, texts, whole);
    }
    if (pictures.loaded != kTextureSlotCount) {
        std::printf("  (%d of 9 pictures loaded)\n", pictures.loaded);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::max(0.1, std::atof(argv[1])) : 2.0;
    benchFontBuild();
    benchFrames(640, 480, seconds);
    benchFrames(1920, 1080, seconds);
    return 0;
}

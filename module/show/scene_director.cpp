// One frame of the show: clock, current event, end of show, the swinging
// angles and pulse, the line counter, then every clear and effect the event's
// flag words select. Those steps are the rows of kSteps, in their fixed order:
// each names its flag bits, its projection, depth setting and texture, and
// the action that clears or draws. Allocates nothing.
#include "show/scene_director.h"

#include <GL/gl.h>

#include <cmath>

#include "effects/line_tables.h"
#include "effects/scene_effects.h"
#include "show/event_timeline.h"
#include "show/frame_state.h"
#include "show/opening_titles.h"
#include "show/scene_flags.h"
#include "show/show_projections.h"
#include "show/wave_text_values.h"

namespace {

// Scales handed to the mesh effects are single-precision values widened to
// double: 0.2f arrives as 0.20000000298023224.
constexpr double kMeshAScale = 0.2f;
constexpr double kMeshBCScale = 8.2f;
constexpr double kSwarmScales[3] = {1.4f, 1.6f, 1.8f};
constexpr int kSwarmCopies = 5;
constexpr double kCircleScale = 0.5;
constexpr int kCircleCopies = 6;
constexpr double kSpriteBurstZ = -2.0;
// The credits run 0.4 s ahead; later steps of the same frame see that clock.
constexpr double kCreditsLead = 0.4;

// The first line table holds twelve lines; its thirteenth entry is empty and
// is never read.
constexpr int kFirstTableLines = kLineTableSize - 1;

// The fades bind the fade texture plainly: additive ones with blend code 1,
// the black ones with the multiplicative code 2.
constexpr std::uint32_t kAdditiveFadeWord = 0x401;
constexpr std::uint32_t kMultiplicativeFadeWord = 0x402;

const char* firstTableLine(std::int32_t index) {
    if (index < 0 || index >= kFirstTableLines) return nullptr;
    return firstLineTable[index];
}

const char* secondTableLine(std::int32_t index) {
    if (index < 0 || index >= kLineTableSize) return nullptr;
    return secondLineTable[index];
}

// What one frame's steps read and write: the director's state, its two
// outlets, the current event and the values derived from the clock.
struct Stage {
    SceneDirector& director;
    SceneEffects& effects;
    FrameState& state;
    const FrameEvent& event;
    double pulse;
    double widening;  // of the host frustum against 4:3
};

// --- The steps' actions: each clears or draws once its state is set. ---

void clearSceneBuffers(Stage& s) {
    // Both bits make one clear of both buffers.
    s.state.clearBuffers((s.event.sceneFlags & SCENE_CLEAR_COLOR) != 0,
                         (s.event.sceneFlags & SCENE_CLEAR_DEPTH) != 0);
}

void clearOverlayDepth(Stage& s) {
    s.state.clearBuffers(false, true);
}

void drawSprites(Stage& s) {
    const SceneDirector& d = s.director;
    s.effects.drawSpriteBurst(3.0 * d.angleA, 3.0 * d.angleB, 3.0 * d.angleC, kSpriteBurstZ);
}

void drawFigureA(Stage& s) {
    const SceneDirector& d = s.director;
    s.effects.drawMeshA(kMeshAScale, d.angleA, d.angleB, d.angleC);
}

void drawFigureB(Stage& s) {
    const SceneDirector& d = s.director;
    s.effects.drawMeshB(kMeshBCScale, d.angleA, d.angleB, d.angleC);
}

void drawFigureC(Stage& s) {
    const SceneDirector& d = s.director;
    s.effects.drawMeshC(kMeshBCScale, 3.0 * d.angleA, 4.0 * d.angleB, 4.0 * d.angleC);
}

void drawSwarm(Stage& s) {
    const SceneDirector& d = s.director;
    s.effects.drawMeshSwarm(kSwarmScales[0], kSwarmCopies, d.angleA, d.angleB, d.angleC);
}

// One projection and one binding serve all three scales.
void drawTripleSwarm(Stage& s) {
    const SceneDirector& d = s.director;
    for (double scale : kSwarmScales) {
        s.effects.drawMeshSwarm(scale, kSwarmCopies, d.angleA, d.angleB, d.angleC);
    }
}

void drawCircleA(Stage& s) {
    const SceneDirector& d = s.director;
    s.effects.drawMeshCircleA(kCircleScale, kCircleCopies, d.angleA, d.angleB, d.angleC);
}

void drawCircleB(Stage& s) {
    const SceneDirector& d = s.director;
    s.effects.drawMeshCircleB(kCircleScale, kCircleCopies, d.angleA, d.angleB, d.angleC);
}

// The advanced clock stays for the rest of the frame (the title word reads
// it); the renderer keeps the frame's own time.
void drawCredits(Stage& s) {
    s.director.clockSeconds += kCreditsLead;
    drawCreditNames(s.effects, s.director.clockSeconds);
}

void drawTitle(Stage& s) {
    drawTitleWord(s.effects, s.director.clockSeconds);
}

// A counter on the first table's empty entry skips the line rather than
// handing the effect an entry with nothing behind it.
bool hasFirstLine(const Stage& s) {
    return firstTableLine(s.director.lineCounter) != nullptr;
}
bool hasSecondLine(const Stage& s) {
    return secondTableLine(s.director.lineCounter) != nullptr;
}

void drawFirstLine(Stage& s) {
    drawWaveLine(s.effects, firstTableLine(s.director.lineCounter), kFirstLineValues);
}

void drawSecondLine(Stage& s) {
    drawWaveLine(s.effects, secondTableLine(s.director.lineCounter), kSecondLineValues);
}

// A fade needs the event's length.
bool hasEvent(const Stage& s) {
    return s.event.event != nullptr;
}

// The panel over the whole picture without depth, tinted by the fraction of
// the event elapsed (rising) or left (falling); the depth buffer is cleared
// behind it.
template <bool rising>
void drawFade(Stage& s) {
    const TimelineEvent& event = *s.event.event;
    const FrustumParams& host = s.director.hostFrustum;
    s.state.setDepthTest(false);
    // The small epsilon keeps an event of zero length from dividing by 0.
    const double w = s.event.localTime / ((event.end - event.start) + 1e-8);
    const float f = static_cast<float>(rising ? w : 1.0 - w);
    s.state.setColor(f, f, f);
    s.effects.drawFullScreenPanel(host.nearVal, host.right, host.top);
    s.state.setDepthTest(true);
    s.state.clearBuffers(false, true);
}

// --- The table of steps. ---

enum FlagWord { Scene, Overlay };  // plain, so the rows read .word = Scene
enum class Projection { Keep, Sprite, Breathing, Swarm, CircleA, CircleB, Text, Host };
// WithoutDepth turns depth test and face culling off before the projection
// and back on after the action; the others set a depth function after it.
enum class Depth { Keep, Less, LessOrEqual, WithoutDepth };
enum class Texture { None, Scene, Overlay, Accent, AdditiveFade, MultiplicativeFade };

// A step runs when any of its bits is set in its flag word (and ready, where
// it names a further condition). It then, in this order: hands the renderer
// the event time again, sets the colour white, sets its projection, its depth
// function, binds its texture and performs its action.
struct Step {
    FlagWord word;
    std::uint32_t bits;
    bool (*ready)(const Stage&) = nullptr;
    bool eventTime = false;
    bool white = false;
    Projection projection = Projection::Keep;
    Depth depth = Depth::Keep;
    Texture texture = Texture::None;
    void (*action)(Stage&) = nullptr;
};

// Every set bit performs its step, in this order, within the same frame.
// clang-format off
constexpr Step kSteps[] = {
    {.word = Scene, .bits = SCENE_CLEAR_COLOR | SCENE_CLEAR_DEPTH, .action = clearSceneBuffers},
    {.word = Scene, .bits = SCENE_SPRITE_BURST, .projection = Projection::Sprite,
     .depth = Depth::WithoutDepth, .texture = Texture::Scene, .action = drawSprites},
    {.word = Scene, .bits = SCENE_MESH_A, .projection = Projection::Breathing,
     .depth = Depth::Less, .texture = Texture::Scene, .action = drawFigureA},
    {.word = Scene, .bits = SCENE_MESH_B, .projection = Projection::Breathing,
     .depth = Depth::Less, .texture = Texture::Scene, .action = drawFigureB},
    {.word = Scene, .bits = SCENE_MESH_C, .projection = Projection::Breathing,
     .depth = Depth::Less, .texture = Texture::Scene, .action = drawFigureC},
    {.word = Overlay, .bits = OVERLAY_CLEAR_DEPTH, .action = clearOverlayDepth},
    {.word = Overlay, .bits = OVERLAY_SWARM, .projection = Projection::Swarm,
     .depth = Depth::LessOrEqual, .texture = Texture::Overlay, .action = drawSwarm},
    {.word = Overlay, .bits = OVERLAY_SWARM_TRIPLE, .projection = Projection::Swarm,
     .depth = Depth::LessOrEqual, .texture = Texture::Overlay, .action = drawTripleSwarm},
    {.word = Overlay, .bits = OVERLAY_CIRCLE_A, .eventTime = true,
     .projection = Projection::CircleA, .depth = Depth::LessOrEqual,
     .texture = Texture::Overlay, .action = drawCircleA},
    {.word = Overlay, .bits = OVERLAY_CIRCLE_B, .eventTime = true,
     .projection = Projection::CircleB, .depth = Depth::LessOrEqual,
     .texture = Texture::Overlay, .action = drawCircleB},
    {.word = Overlay, .bits = OVERLAY_CREDITS, .projection = Projection::Text,
     .depth = Depth::Less, .texture = Texture::Overlay, .action = drawCredits},
    {.word = Overlay, .bits = OVERLAY_TITLE_WORD, .projection = Projection::Text,
     .depth = Depth::Less, .texture = Texture::Accent, .action = drawTitle},
    {.word = Overlay, .bits = OVERLAY_TEXT_LINE_1, .ready = hasFirstLine, .eventTime = true,
     .white = true, .projection = Projection::Text, .depth = Depth::Less,
     .texture = Texture::Overlay, .action = drawFirstLine},
    {.word = Overlay, .bits = OVERLAY_TEXT_LINE_2, .ready = hasSecondLine, .eventTime = true,
     .white = true, .projection = Projection::Text, .depth = Depth::Less,
     .texture = Texture::Accent, .action = drawSecondLine},
    {.word = Overlay, .bits = OVERLAY_FADE_ADD_UP, .ready = hasEvent, .eventTime = true,
     .projection = Projection::Host, .texture = Texture::AdditiveFade, .action = drawFade<true>},
    {.word = Overlay, .bits = OVERLAY_FADE_ADD_DOWN, .ready = hasEvent, .eventTime = true,
     .projection = Projection::Host, .texture = Texture::AdditiveFade, .action = drawFade<false>},
    {.word = Overlay, .bits = OVERLAY_FADE_TO_BLACK, .ready = hasEvent, .eventTime = true,
     .projection = Projection::Host, .texture = Texture::MultiplicativeFade,
     .action = drawFade<false>},
    {.word = Overlay, .bits = OVERLAY_FADE_FROM_BLACK, .ready = hasEvent, .eventTime = true,
     .projection = Projection::Host, .texture = Texture::MultiplicativeFade,
     .action = drawFade<true>},
};
// clang-format on

// --- Performing a step. ---

FrustumParams projectionFor(Projection projection, const Stage& s) {
    const FrustumParams& host = s.director.hostFrustum;
    switch (projection) {
        case Projection::Sprite:
            return fittedToAspect(kSpriteProjection, s.widening);
        case Projection::Breathing:
            return fittedToAspect(breathingProjection(s.pulse), s.widening);
        case Projection::Swarm:
            return fittedToAspect(swarmProjection(s.pulse), s.widening);
        case Projection::CircleA:
            return fittedToAspect(kCircleProjectionA, s.widening);
        case Projection::CircleB:
            return fittedToAspect(kCircleProjectionB, s.widening);
        case Projection::Text:
            return textProjection(host);
        case Projection::Keep:
        case Projection::Host:
            break;
    }
    return host;
}

void bindStepTexture(Texture texture, const Stage& s) {
    TextureBinding binding{};
    switch (texture) {
        case Texture::None:
            return;
        case Texture::Scene:
            binding = s.event.sceneTexture;
            break;
        case Texture::Overlay:
            binding = s.event.overlayTexture;
            break;
        case Texture::Accent:
            binding = s.event.accentTexture;
            break;
        case Texture::AdditiveFade:
            binding = {kFadeTextureSlot, kAdditiveFadeWord};
            break;
        case Texture::MultiplicativeFade:
            binding = {kFadeTextureSlot, kMultiplicativeFadeWord};
            break;
    }
    s.state.bindTexture(binding.slot, binding.word);
}

bool selected(const Step& step, const Stage& s) {
    const std::uint32_t flags = step.word == Scene ? s.event.sceneFlags : s.event.overlayFlags;
    return (flags & step.bits) != 0 && (step.ready == nullptr || step.ready(s));
}

void perform(const Step& step, Stage& s) {
    if (step.eventTime) s.effects.setEventTime(s.event.localTime);
    if (step.white) s.state.setColor(1.0f, 1.0f, 1.0f);
    if (step.depth == Depth::WithoutDepth) {
        s.state.setDepthTest(false);
        s.state.setFaceCulling(false);
    }
    if (step.projection != Projection::Keep) {
        s.state.setProjection(projectionFor(step.projection, s));
    }
    if (step.depth == Depth::Less) s.state.setDepthFunction(GL_LESS);
    if (step.depth == Depth::LessOrEqual) s.state.setDepthFunction(GL_LEQUAL);
    bindStepTexture(step.texture, s);
    step.action(s);
    if (step.depth == Depth::WithoutDepth) {
        s.state.setFaceCulling(true);
        s.state.setDepthTest(true);
    }
}

}  // namespace

int SceneDirector::renderScene(const FrustumParams& frustum, int songMs) {
    hostFrustum = frustum;
    clockSeconds = static_cast<double>(songMs) * 0.001;
    const double t = clockSeconds;
    const FrameEvent event = timeline_.lookup(t);
    if ((event.sceneFlags & SCENE_END_OF_SHOW) != 0) return 0;

    effects_.setSongTime(t);
    effects_.setEventTime(event.localTime);
    swingAngles(t);
    const double pulse = (1.0 - std::cos(t * (1.0 / 3.0))) * 0.5;
    stepLineCounter(event.overlayFlags);

    Stage stage{*this, effects_, state_, event, pulse, frustumWidening(hostFrustum)};
    for (const Step& step : kSteps) {
        if (selected(step, stage)) perform(step, stage);
    }
    return 1;
}

void SceneDirector::swingAngles(double t) {
    angleA = (std::sin(t * (1.0 / 29.0)) + 1.0) * 180.0;
    angleB = (std::sin(t * (1.0 / 13.0)) + 1.0) * 180.0;
    angleC = (std::sin(t * (1.0 / 19.0)) + 1.0) * 180.0;
}

void SceneDirector::stepLineCounter(std::uint32_t overlayFlags) {
    // The next line is due once a scene with the second text line is over.
    const std::uint32_t line2Bit = overlayFlags & OVERLAY_TEXT_LINE_2;
    if (previousLine2Bit != 0 && line2Bit == 0) lineCounter = (lineCounter + 1) % kLineTableSize;
    previousLine2Bit = line2Bit;
}

FrameEvent SceneDirector::eventAt(int songMs) const {
    // The same time in seconds as renderScene computes.
    return timeline_.lookup(static_cast<double>(songMs) * 0.001);
}

bool SceneDirector::passFrame(int songMs) {
    const FrameEvent event = eventAt(songMs);
    if ((event.sceneFlags & SCENE_END_OF_SHOW) != 0) return false;
    stepLineCounter(event.overlayFlags);
    return (event.sceneFlags & SCENE_SPRITE_BURST) != 0;
}

bool SceneDirector::repaintsPicture(int songMs) const {
    const FrameEvent event = eventAt(songMs);
    const std::uint32_t flags = event.sceneFlags;
    if ((flags & SCENE_END_OF_SHOW) != 0) return false;
    if ((flags & SCENE_CLEAR_COLOR) != 0) return true;
    // The three scene figures are closed meshes round the eye, so every view
    // ray meets their inner wall: bound without blending and drawn on a
    // cleared depth buffer, they cover every pixel (and the sprite burst,
    // which comes before them).
    const bool enclosingFigure = (flags & (SCENE_MESH_A | SCENE_MESH_B | SCENE_MESH_C)) != 0;
    const std::uint32_t word = event.sceneTexture.word;
    const bool bindsOpaque = (word & 0x700) != 0 && (word & 0xFF) == 0;
    return enclosingFigure && bindsOpaque && (flags & SCENE_CLEAR_DEPTH) != 0;
}

bool SceneDirector::showOverAt(int songMs) const {
    return (eventAt(songMs).sceneFlags & SCENE_END_OF_SHOW) != 0;
}

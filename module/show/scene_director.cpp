// One frame of the show: clock, current event, end of show, the swinging
// angles and pulse, the line counter, then every clear and effect the event's
// flag words select, in a fixed order, each with its own projection, depth
// function and texture. Allocates nothing.
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

struct Fade {
    std::uint32_t bit;
    std::uint32_t bindWord;  // plain bind of the fade texture with a blend code
    bool rising;             // brightness or factor goes 0 to 1 over the event
};

// Additive fades use blend code 1, the black ones the multiplicative code 2.
constexpr Fade kFades[] = {
    {OVERLAY_FADE_ADD_UP, 0x401, true},
    {OVERLAY_FADE_ADD_DOWN, 0x401, false},
    {OVERLAY_FADE_TO_BLACK, 0x402, false},
    {OVERLAY_FADE_FROM_BLACK, 0x402, true},
};

const char* firstTableLine(std::int32_t index) {
    if (index < 0 || index >= kFirstTableLines) return nullptr;
    return firstLineTable[index];
}

const char* secondTableLine(std::int32_t index) {
    if (index < 0 || index >= kLineTableSize) return nullptr;
    return secondLineTable[index];
}

}  // namespace

int SceneDirector::renderScene(const FrustumParams& frustum, int songMs) {
    hostFrustum = frustum;
    clockSeconds = static_cast<double>(songMs) * 0.001;
    const double t = clockSeconds;

    double localTime = 0.0;
    std::uint32_t sceneFlags = 0;
    std::int32_t sceneSlot = 0;
    std::uint32_t sceneWord = 0;
    std::uint32_t overlayFlags = 0;
    std::int32_t overlaySlot = 0;
    std::uint32_t overlayWord = 0;
    std::int32_t accentSlot = 0;
    std::uint32_t accentWord = 0;
    const TimelineEvent* event =
        timeline_.lookup(t, &localTime, &sceneFlags, &sceneSlot, &sceneWord, &overlayFlags,
                         &overlaySlot, &overlayWord, &accentSlot, &accentWord);

    if ((sceneFlags & SCENE_END_OF_SHOW) != 0) return 0;

    effects_.setSongTime(t);
    effects_.setEventTime(localTime);

    angleA = (std::sin(t * (1.0 / 29.0)) + 1.0) * 180.0;
    angleB = (std::sin(t * (1.0 / 13.0)) + 1.0) * 180.0;
    angleC = (std::sin(t * (1.0 / 19.0)) + 1.0) * 180.0;
    const double pulse = (1.0 - std::cos(t * (1.0 / 3.0))) * 0.5;

    stepLineCounter(overlayFlags);
    const double widening = frustumWidening(hostFrustum);

    const bool clearColor = (sceneFlags & SCENE_CLEAR_COLOR) != 0;
    const bool clearDepth = (sceneFlags & SCENE_CLEAR_DEPTH) != 0;
    if (clearColor || clearDepth) state_.clearBuffers(clearColor, clearDepth);

    if ((sceneFlags & SCENE_SPRITE_BURST) != 0) {
        state_.setDepthTest(false);
        state_.setFaceCulling(false);
        state_.setProjection(fittedToAspect(kSpriteProjection, widening));
        state_.bindTexture(sceneSlot, sceneWord);
        effects_.drawSpriteBurst(3.0 * angleA, 3.0 * angleB, 3.0 * angleC, kSpriteBurstZ);
        state_.setFaceCulling(true);
        state_.setDepthTest(true);
    }
    if ((sceneFlags & SCENE_MESH_A) != 0) {
        state_.setProjection(fittedToAspect(breathingProjection(pulse), widening));
        state_.setDepthFunction(GL_LESS);
        state_.bindTexture(sceneSlot, sceneWord);
        effects_.drawMeshA(kMeshAScale, angleA, angleB, angleC);
    }
    if ((sceneFlags & SCENE_MESH_B) != 0) {
        state_.setProjection(fittedToAspect(breathingProjection(pulse), widening));
        state_.setDepthFunction(GL_LESS);
        state_.bindTexture(sceneSlot, sceneWord);
        effects_.drawMeshB(kMeshBCScale, angleA, angleB, angleC);
    }
    if ((sceneFlags & SCENE_MESH_C) != 0) {
        state_.setProjection(fittedToAspect(breathingProjection(pulse), widening));
        state_.setDepthFunction(GL_LESS);
        state_.bindTexture(sceneSlot, sceneWord);
        effects_.drawMeshC(kMeshBCScale, 3.0 * angleA, 4.0 * angleB, 4.0 * angleC);
    }

    if ((overlayFlags & OVERLAY_CLEAR_DEPTH) != 0) state_.clearBuffers(false, true);

    if ((overlayFlags & OVERLAY_SWARM) != 0) {
        state_.setProjection(fittedToAspect(swarmProjection(pulse), widening));
        state_.setDepthFunction(GL_LEQUAL);
        state_.bindTexture(overlaySlot, overlayWord);
        effects_.drawMeshSwarm(kSwarmScales[0], kSwarmCopies, angleA, angleB, angleC);
    }
    if ((overlayFlags & OVERLAY_SWARM_TRIPLE) != 0) {
        state_.setProjection(fittedToAspect(swarmProjection(pulse), widening));
        state_.setDepthFunction(GL_LEQUAL);
        state_.bindTexture(overlaySlot, overlayWord);
        for (double scale : kSwarmScales) {
            effects_.drawMeshSwarm(scale, kSwarmCopies, angleA, angleB, angleC);
        }
    }
    if ((overlayFlags & OVERLAY_CIRCLE_A) != 0) {
        effects_.setEventTime(localTime);
        state_.setProjection(fittedToAspect(kCircleProjectionA, widening));
        state_.setDepthFunction(GL_LEQUAL);
        state_.bindTexture(overlaySlot, overlayWord);
        effects_.drawMeshCircleA(kCircleScale, kCircleCopies, angleA, angleB, angleC);
    }
    if ((overlayFlags & OVERLAY_CIRCLE_B) != 0) {
        effects_.setEventTime(localTime);
        state_.setProjection(fittedToAspect(kCircleProjectionB, widening));
        state_.setDepthFunction(GL_LEQUAL);
        state_.bindTexture(overlaySlot, overlayWord);
        effects_.drawMeshCircleB(kCircleScale, kCircleCopies, angleA, angleB, angleC);
    }

    if ((overlayFlags & OVERLAY_CREDITS) != 0) {
        clockSeconds += kCreditsLead;
        state_.setProjection(textProjection(hostFrustum));
        state_.setDepthFunction(GL_LESS);
        state_.bindTexture(overlaySlot, overlayWord);
        drawCreditNames(effects_, clockSeconds);
    }
    if ((overlayFlags & OVERLAY_TITLE_WORD) != 0) {
        state_.setProjection(textProjection(hostFrustum));
        state_.setDepthFunction(GL_LESS);
        state_.bindTexture(accentSlot, accentWord);
        drawTitleWord(effects_, clockSeconds);
    }

    // A counter on the first table's empty entry skips the line rather than
    // handing the effect an entry with nothing behind it.
    const char* firstLine = firstTableLine(lineCounter);
    if ((overlayFlags & OVERLAY_TEXT_LINE_1) != 0 && firstLine != nullptr) {
        effects_.setEventTime(localTime);
        state_.setColor(1.0f, 1.0f, 1.0f);
        state_.setProjection(textProjection(hostFrustum));
        state_.setDepthFunction(GL_LESS);
        effects_.setEventTime(localTime);
        state_.bindTexture(overlaySlot, overlayWord);
        drawWaveLine(effects_, firstLine, kFirstLineValues);
    }
    const char* secondLine = secondTableLine(lineCounter);
    if ((overlayFlags & OVERLAY_TEXT_LINE_2) != 0 && secondLine != nullptr) {
        effects_.setEventTime(localTime);
        state_.setColor(1.0f, 1.0f, 1.0f);
        state_.setProjection(textProjection(hostFrustum));
        state_.setDepthFunction(GL_LESS);
        state_.bindTexture(accentSlot, accentWord);
        drawWaveLine(effects_, secondLine, kSecondLineValues);
    }

    for (const Fade& fade : kFades) {
        if ((overlayFlags & fade.bit) == 0 || event == nullptr) continue;
        effects_.setEventTime(localTime);
        state_.setProjection(hostFrustum);
        state_.bindTexture(kFadeTextureSlot, fade.bindWord);
        state_.setDepthTest(false);
        // The small epsilon keeps an event of zero length from dividing by 0.
        const double w = localTime / ((event->end - event->start) + 1e-8);
        const float f = static_cast<float>(fade.rising ? w : 1.0 - w);
        state_.setColor(f, f, f);
        effects_.drawFullScreenPanel(hostFrustum.nearVal, hostFrustum.right, hostFrustum.top);
        state_.setDepthTest(true);
        state_.clearBuffers(false, true);
    }

    return 1;
}

void SceneDirector::stepLineCounter(std::uint32_t overlayFlags) {
    // The next line is due once a scene with the second text line is over.
    const std::uint32_t line2Bit = overlayFlags & OVERLAY_TEXT_LINE_2;
    if (previousLine2Bit != 0 && line2Bit == 0) lineCounter = (lineCounter + 1) % kLineTableSize;
    previousLine2Bit = line2Bit;
}

SceneDirector::EventWords SceneDirector::wordsAt(int songMs) const {
    // The same time in seconds as renderScene computes.
    const double t = static_cast<double>(songMs) * 0.001;
    EventWords words;
    double localTime = 0.0;
    std::int32_t slot = 0;
    std::uint32_t word = 0;
    timeline_.lookup(t, &localTime, &words.sceneFlags, &slot, &words.sceneWord, &words.overlayFlags,
                     &slot, &word, &slot, &word);
    return words;
}

bool SceneDirector::passFrame(int songMs) {
    const EventWords words = wordsAt(songMs);
    if ((words.sceneFlags & SCENE_END_OF_SHOW) != 0) return false;
    stepLineCounter(words.overlayFlags);
    return (words.sceneFlags & SCENE_SPRITE_BURST) != 0;
}

bool SceneDirector::repaintsPicture(int songMs) const {
    const EventWords words = wordsAt(songMs);
    const std::uint32_t flags = words.sceneFlags;
    if ((flags & SCENE_END_OF_SHOW) != 0) return false;
    if ((flags & SCENE_CLEAR_COLOR) != 0) return true;
    // The three scene figures are closed meshes round the eye, so every view
    // ray meets their inner wall: bound without blending and drawn on a
    // cleared depth buffer, they cover every pixel (and the sprite burst,
    // which comes before them).
    const bool enclosingFigure = (flags & (SCENE_MESH_A | SCENE_MESH_B | SCENE_MESH_C)) != 0;
    const bool bindsOpaque = (words.sceneWord & 0x700) != 0 && (words.sceneWord & 0xFF) == 0;
    return enclosingFigure && bindsOpaque && (flags & SCENE_CLEAR_DEPTH) != 0;
}

bool SceneDirector::showOverAt(int songMs) const {
    return (wordsAt(songMs).sceneFlags & SCENE_END_OF_SHOW) != 0;
}

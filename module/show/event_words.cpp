// One word table for both flag words, in the director's drawing order.
#include "show/event_words.h"

#include <cmath>

#include "show/scene_flags.h"

namespace {

struct FlagWord {
    bool scene;  // a bit of sceneFlags; otherwise of overlayFlags
    std::uint32_t bit;
    const char* words;
};

constexpr FlagWord kFlagWords[] = {
    {true, SCENE_SPRITE_BURST, "burst"},
    {true, SCENE_MESH_A, "figure A"},
    {true, SCENE_MESH_B, "figure B"},
    {true, SCENE_MESH_C, "figure C"},
    {false, OVERLAY_SWARM, "swarm"},
    {false, OVERLAY_SWARM_TRIPLE, "triple swarm"},
    {false, OVERLAY_CIRCLE_A, "circle A"},
    {false, OVERLAY_CIRCLE_B, "circle B"},
    {false, OVERLAY_CREDITS, "credits"},
    {false, OVERLAY_TITLE_WORD, "title"},
    {false, OVERLAY_TEXT_LINE_1, "text line 1"},
    {false, OVERLAY_TEXT_LINE_2, "text line 2"},
    {false, OVERLAY_FADE_ADD_UP, "fade up (additive)"},
    {false, OVERLAY_FADE_ADD_DOWN, "fade down (additive)"},
    {false, OVERLAY_FADE_TO_BLACK, "fade to black"},
    {false, OVERLAY_FADE_FROM_BLACK, "fade from black"},
    {true, SCENE_END_OF_SHOW, "end"},
};

}  // namespace

std::string describeEventFlags(std::uint32_t sceneFlags, std::uint32_t overlayFlags) {
    std::string text;
    for (const FlagWord& w : kFlagWords) {
        if (((w.scene ? sceneFlags : overlayFlags) & w.bit) == 0) continue;
        if (!text.empty()) text += ", ";
        text += w.words;
    }
    return text.empty() ? "nothing" : text;
}

int firstMsAtOrAfter(double seconds) {
    int ms = static_cast<int>(std::ceil(seconds * 1000.0));
    while (ms > 0 && (ms - 1) * 0.001 >= seconds) --ms;
    while (ms * 0.001 < seconds) ++ms;
    return ms;
}

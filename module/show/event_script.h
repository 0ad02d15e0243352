// The show's built-in script as data: one row per event, in time order, in the
// argument order of EventTimeline::add. Each event starts where the previous
// one ends; the first starts at 0.
#pragma once

#include <cstdint>

struct TextureBinding {
    std::int32_t slot;   // 0 to 8
    std::uint32_t word;  // bind word; 0 binds nothing
};

struct ScriptRow {
    double end;  // seconds of song time
    std::uint32_t sceneFlags;
    TextureBinding sceneTexture;
    std::uint32_t overlayFlags;
    TextureBinding overlayTexture;
    TextureBinding accentTexture;
};

constexpr int kShowScriptLength = 91;

extern const ScriptRow kShowScript[kShowScriptLength];

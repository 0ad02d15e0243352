// The bits of an event's two flag words: which clears and effects the scene
// director performs while the event is current. Bits not named here mean nothing.
#pragma once

#include <cstdint>

// sceneFlags
constexpr std::uint32_t SCENE_CLEAR_COLOR = 0x1;
constexpr std::uint32_t SCENE_CLEAR_DEPTH = 0x2;  // with SCENE_CLEAR_COLOR: one clear of both
constexpr std::uint32_t SCENE_SPRITE_BURST = 0x4;
constexpr std::uint32_t SCENE_MESH_A = 0x8;
constexpr std::uint32_t SCENE_MESH_B = 0x10;
constexpr std::uint32_t SCENE_MESH_C = 0x20;
constexpr std::uint32_t SCENE_END_OF_SHOW = 0x1000;

// overlayFlags
constexpr std::uint32_t OVERLAY_CLEAR_DEPTH = 0x1;
constexpr std::uint32_t OVERLAY_SWARM = 0x2;
constexpr std::uint32_t OVERLAY_SWARM_TRIPLE = 0x4;
constexpr std::uint32_t OVERLAY_CREDITS = 0x10;
constexpr std::uint32_t OVERLAY_TITLE_WORD = 0x20;
constexpr std::uint32_t OVERLAY_TEXT_LINE_1 = 0x40;
constexpr std::uint32_t OVERLAY_TEXT_LINE_2 = 0x80;  // its falling edge advances the line
constexpr std::uint32_t OVERLAY_FADE_ADD_UP = 0x100;
constexpr std::uint32_t OVERLAY_FADE_ADD_DOWN = 0x200;
constexpr std::uint32_t OVERLAY_FADE_TO_BLACK = 0x400;
constexpr std::uint32_t OVERLAY_FADE_FROM_BLACK = 0x800;
constexpr std::uint32_t OVERLAY_CIRCLE_A = 0x1000;
constexpr std::uint32_t OVERLAY_CIRCLE_B = 0x2000;

// The texture the fades tint, bound without coordinate generation.
constexpr std::int32_t kFadeTextureSlot = 3;

// The face the show's letters are cut from and their extrusion depth: what
// Init builds its glyph lists with, and what glyphs.bin is made for.
#pragma once

inline constexpr const char* kTextFontFace = "Arial Black";
inline constexpr float kTextGlyphDepth = 0.1f;

// The font layer's whole work for the glyph lists: the heavy font that serves
// a face name, each byte code's outline, its tessellated caps and the
// extrusion. Needs fontconfig, FreeType and the GLU tessellator, no context.
#pragma once

#include <vector>

#include "effects/font_face.h"
#include "effects/glyph_geometry.h"

// The 255 glyphs (byte codes 0 to 254) of the font that serves faceName,
// extruded by depth. False when no font can be opened.
bool cutGlyphs(const char* faceName, float depth, std::vector<GlyphGeometry>& glyphs,
               FontFaceFile* chosen = nullptr);

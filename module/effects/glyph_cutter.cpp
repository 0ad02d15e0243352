// Implements cutGlyphs over the font face lookup, the outlines and the
// tessellator.
#include "effects/glyph_cutter.h"

#include <cstdint>

#include "effects/font_outlines.h"
#include "effects/glyph_tessellator.h"

bool cutGlyphs(const char* faceName, float depth, std::vector<GlyphGeometry>& glyphs,
               FontFaceFile* chosen) {
    constexpr int kGlyphCount = 255;
    const FontFaceFile face = findHeavyFontFace(faceName);
    if (chosen != nullptr) *chosen = face;
    if (face.path.empty()) return false;
    FontOutlines outlines;
    if (!outlines.open(face.path, face.faceIndex)) return false;

    GlyphTessellator tessellator;
    glyphs.clear();
    glyphs.reserve(kGlyphCount);
    for (int code = 0; code < kGlyphCount; ++code) {
        const GlyphShape shape = outlines.glyphForByte(static_cast<std::uint8_t>(code));
        glyphs.push_back(extrudeGlyph(shape, tessellator.fill(shape.contours), depth));
    }
    return true;
}

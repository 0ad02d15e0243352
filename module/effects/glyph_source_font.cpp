// The glyph lists of the build that draws with the system's OpenGL: cut from
// the font at start-up by the font layer.
#include "effects/glyph_cutter.h"
#include "effects/glyph_lists.h"

bool buildGlyphLists(GLuint listBase, const char* faceName, float depth, FontFaceFile* chosen) {
    std::vector<GlyphGeometry> glyphs;
    if (!cutGlyphs(faceName, depth, glyphs, chosen)) return false;
    for (std::size_t code = 0; code < glyphs.size(); ++code) {
        compileGlyphGeometry(listBase + static_cast<GLuint>(code), glyphs[code]);
    }
    return true;
}

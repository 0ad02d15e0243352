// make_glyphs FILE: writes glyphs.bin, the triangles of the show's 255 glyph
// lists exactly as the font layer cuts them at start-up (the heavy face that
// serves the show's font, FreeType outlines, GLU tessellation, extrusion),
// for the build on the GL subset, which has no tessellator.
#include <cstdio>
#include <string>

#include "effects/glyph_cutter.h"
#include "effects/glyph_file.h"
#include "effects/text_font.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_glyphs FILE\n");
        return 2;
    }
    GlyphFile file;
    FontFaceFile face;
    file.depth = kTextGlyphDepth;
    if (!cutGlyphs(kTextFontFace, kTextGlyphDepth, file.glyphs, &face)) {
        std::fprintf(stderr, "make_glyphs: no outline font serves \"%s\"\n", kTextFontFace);
        return 1;
    }
    file.family = face.family;
    std::string error;
    if (!writeGlyphFile(argv[1], file, error)) {
        std::fprintf(stderr, "make_glyphs: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

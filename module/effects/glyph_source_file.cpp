// The glyph lists of the build on the GL subset, which has no tessellator:
// the triangles the font layer cut at build time, read from glyphs.bin (found
// as the other data files are). The file was made for the show's face, so
// faceName is not looked at. Without a usable file the lists stay empty and
// texts draw nothing.
#include <cstdio>
#include <string>

#include "common/data_files.h"
#include "effects/glyph_file.h"
#include "effects/glyph_lists.h"

bool buildGlyphLists(GLuint listBase, const char* /*faceName*/, float depth, FontFaceFile* chosen) {
    GlyphFile file;
    std::string error;
    if (!readGlyphFile(dataFilePath(kGlyphFileName), file, error)) {
        std::fprintf(stderr, "sorvanel: no letters: %s\n", error.c_str());
        return false;
    }
    if (file.depth != depth || file.glyphs.size() != static_cast<std::size_t>(kGlyphListCount)) {
        std::fprintf(stderr, "sorvanel: no letters: %s holds other glyphs than the show's\n",
                     kGlyphFileName);
        return false;
    }
    if (chosen != nullptr) {
        *chosen = FontFaceFile{};
        chosen->family = file.family;
    }
    for (int code = 0; code < kGlyphListCount; ++code) {
        compileGlyphGeometry(listBase + static_cast<GLuint>(code), file.glyphs[code]);
    }
    return true;
}

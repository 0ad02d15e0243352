// OutlineText: builds the 256 glyph lists once and draws the current text as
// one glCallLists under translate, scale, rotate and a centring offset.
// Needs OpenGL, the glyph lists and the context probe for unload.
#include "effects/outline_text.h"

#include <cstring>
#include <new>

#include "common/gl_context_probe.h"
#include "effects/glyph_lists.h"

namespace {

constexpr GLsizei kListBlock = 256;
// The centring offset moves a text left by this much per character, in em.
constexpr double kCentringPerCharacter = 0.28;
constexpr double kCentringDown = 0.25;

}  // namespace

OutlineText::~OutlineText() {
    // The module is unloaded after the host has released its context: the
    // lists are gone with it then, and a GL call would have no context.
    if (listBase != 0 && hasCurrentGlContext()) glDeleteLists(listBase, kListBlock);
    delete[] text;
}

void OutlineText::createFont(void* /*deviceContext*/, const char* faceName, float extrusionDepth) {
    depth = extrusionDepth;
    listBase = glGenLists(kListBlock);
    if (listBase == 0) return;
    // Without a usable font the lists stay empty and texts draw nothing.
    buildGlyphLists(listBase, faceName, depth);
}

void OutlineText::setText(const char* s) {
    delete[] text;
    text = nullptr;
    length = 0;
    if (s == nullptr) return;
    const std::size_t n = std::strlen(s);
    text = new (std::nothrow) char[n + 1];
    if (text == nullptr) return;
    std::memcpy(text, s, n + 1);
    length = static_cast<int>(n);
}

void OutlineText::draw() {
    if (listBase == 0 || text == nullptr) return;
    if (scale[0] == 0.0 || scale[1] == 0.0 || scale[2] == 0.0) return;
    glPushMatrix();
    glTranslated(position[0], position[1], position[2]);
    glScaled(scale[0], scale[1], scale[2]);
    glRotated(rotation[0], 1.0, 0.0, 0.0);
    glRotated(rotation[1], 0.0, 1.0, 0.0);
    glRotated(rotation[2], 0.0, 0.0, 1.0);
    glTranslated(-kCentringPerCharacter * length, -kCentringDown, 0.5 * depth);
    glListBase(listBase);
    glCallLists(length, GL_UNSIGNED_BYTE, text);
    glPopMatrix();
}

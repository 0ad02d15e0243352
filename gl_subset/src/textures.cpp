// Implements the texture calls on unit 0: names and bindings (ES's own), the
// parameters, uploads converted to the base format the internal format names
// (ES 3 takes unsized formats only as they come), the levels each texture
// holds, which decide whether it is complete, and gluBuild2DMipmaps.
#include "lists.h"
#include "pixels.h"

namespace sgl {

namespace {

void recordLevel(Context& c, GLint level, GLsizei width, GLsizei height, GLenum base) {
    TextureInfo& t = c.textures[c.boundTexture];
    if (t.levels.size() <= static_cast<std::size_t>(level)) t.levels.resize(level + 1);
    t.levels[static_cast<std::size_t>(level)] = {width, height, base};
}

// The internal format ES is given: the sized ones as they are (so that they
// can be rendered to), else the base format, which ES 3 takes unsized.
GLint esInternalFormat(int internalFormat, GLenum base) {
    if (internalFormat == SGL_RGBA8 || internalFormat == SGL_RGB8) return internalFormat;
    return static_cast<GLint>(base);
}

// Uploads one level from tightly packed rows of `base`.
void uploadLevel(Context& c, GLint level, int internalFormat, GLenum base, GLsizei width,
                 GLsizei height, std::vector<std::uint8_t> pixels) {
    const GLint internal = esInternalFormat(internalFormat, base);
    run(c, [level, internal, base, width, height, pixels = std::move(pixels)](Context& at) {
        glTexImage2D(GL_TEXTURE_2D, level, internal, width, height, 0, base, GL_UNSIGNED_BYTE,
                     pixels.empty() ? nullptr : pixels.data());
        recordLevel(at, level, width, height, base);
    });
}

}  // namespace

}  // namespace sgl

using namespace sgl;

extern "C" {

SGL_API void sgl_GenTextures(int n, unsigned int* textures) {
    Context* c = current();
    if (c == nullptr || n <= 0 || textures == nullptr) return;
    checkStillAlive(*c);
    glGenTextures(n, textures);
}

SGL_API void sgl_BindTexture(unsigned int target, unsigned int texture) {
    Context* c = current();
    if (c == nullptr) return;
    if (target != SGL_TEXTURE_2D) return recordError(*c, GL_INVALID_ENUM);
    run(*c, [texture](Context& at) {
        glBindTexture(GL_TEXTURE_2D, texture);
        at.boundTexture = texture;
        at.textures[texture];
    });
}

SGL_API void sgl_DeleteTextures(int n, const unsigned int* textures) {
    Context* c = current();
    if (c == nullptr || n <= 0 || textures == nullptr) return;
    glDeleteTextures(n, textures);
    for (int i = 0; i < n; ++i) {
        if (textures[i] == 0) continue;
        c->textures.erase(textures[i]);
        // A deleted texture that was bound leaves the default one bound.
        if (c->boundTexture == textures[i]) c->boundTexture = 0;
    }
}

SGL_API void sgl_TexParameterf(unsigned int target, unsigned int pname, float param) {
    Context* c = current();
    if (c == nullptr) return;
    if (target != SGL_TEXTURE_2D) return recordError(*c, GL_INVALID_ENUM);
    run(*c, [pname, param](Context& at) {
        glTexParameterf(GL_TEXTURE_2D, pname, param);
        if (pname == SGL_TEXTURE_MIN_FILTER) {
            at.textures[at.boundTexture].minFilter = static_cast<GLenum>(param);
        }
    });
}

SGL_API void sgl_TexParameteri(unsigned int target, unsigned int pname, int param) {
    sgl_TexParameterf(target, pname, static_cast<float>(param));
}

SGL_API void sgl_TexImage2D(unsigned int target, int level, int internalFormat, int width,
                            int height, int border, unsigned int format, unsigned int type,
                            const void* pixels) {
    Context* c = current();
    if (c == nullptr) return;
    const GLenum base = baseOfInternalFormat(internalFormat);
    if (target != SGL_TEXTURE_2D || base == 0 || channelsOfFormat(format) == 0 ||
        type != SGL_UNSIGNED_BYTE) {
        return recordError(*c, GL_INVALID_ENUM);
    }
    if (level < 0 || width < 0 || height < 0 || border != 0) {
        return recordError(*c, GL_INVALID_VALUE);
    }
    // The rows are read now, under the unpack alignment in force, as GL does.
    uploadLevel(*c, level, internalFormat, base, width, height,
                pixels == nullptr ? std::vector<std::uint8_t>()
                                  : convertPixels(static_cast<const std::uint8_t*>(pixels), width,
                                                  height, format, c->unpackAlignment, base));
}

SGL_API int sglu_Build2DMipmaps(unsigned int target, int internalFormat, int width, int height,
                                unsigned int format, unsigned int type, const void* data) {
    Context* c = current();
    if (c == nullptr) return 0;
    if (width < 1 || height < 1) return SGLU_INVALID_VALUE;
    const GLenum base = baseOfInternalFormat(internalFormat);
    const int channels = channelsOfFormat(format);
    if (target != SGL_TEXTURE_2D || base == 0 || channels == 0 || type != SGL_UNSIGNED_BYTE) {
        return SGLU_INVALID_ENUM;
    }
    if (data == nullptr) return 0;
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    const std::vector<MipLevel> levels =
        buildMipmaps(static_cast<const std::uint8_t*>(data), width, height, channels,
                     c->unpackAlignment, maxSize > 0 ? maxSize : 2048);
    for (std::size_t level = 0; level < levels.size(); ++level) {
        const MipLevel& l = levels[level];
        uploadLevel(*c, static_cast<GLint>(level), internalFormat, base, l.width, l.height,
                    convertPixels(l.pixels.data(), l.width, l.height, format, 1, base));
    }
    return 0;
}

}  // extern "C"

// Implements the state calls: the capabilities and texture-coordinate
// generation that only the subset knows, those ES keeps itself (passed on),
// the frame buffer calls, pixel storage, read-back and queries.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "lists.h"

namespace sgl {

namespace {

void setCapability(Context& c, GLenum cap, bool on) {
    switch (cap) {
        case SGL_TEXTURE_2D:
            c.texture2D = on;
            return;
        case SGL_NORMALIZE:
            c.normalize = on;
            return;
        case SGL_TEXTURE_GEN_S:
            c.texGenEnabled[0] = on;
            return;
        case SGL_TEXTURE_GEN_T:
            c.texGenEnabled[1] = on;
            return;
        case SGL_DEPTH_TEST:
        case SGL_CULL_FACE:
        case SGL_BLEND:
        case SGL_SCISSOR_TEST:
            if (on) {
                glEnable(cap);
            } else {
                glDisable(cap);
            }
            return;
        default:
            recordError(c, GL_INVALID_ENUM);
    }
}

int rowStride(int width, int bytesPerPixel, int alignment) {
    const int row = width * bytesPerPixel;
    return (row + alignment - 1) / alignment * alignment;
}

int channelsOf(GLenum format) {
    switch (format) {
        case SGL_RGBA:
        case SGL_BGRA:
            return 4;
        case SGL_RGB:
            return 3;
        case SGL_LUMINANCE_ALPHA:
            return 2;
        case SGL_ALPHA:
        case SGL_LUMINANCE:
            return 1;
        default:
            return 0;
    }
}

// One RGBA pixel as `format` stores it.
void storePixel(const std::uint8_t* rgba, GLenum format, std::uint8_t* out) {
    switch (format) {
        case SGL_BGRA:
            out[0] = rgba[2], out[1] = rgba[1], out[2] = rgba[0], out[3] = rgba[3];
            break;
        case SGL_RGB:
            std::memcpy(out, rgba, 3);
            break;
        case SGL_LUMINANCE_ALPHA:
            out[0] = rgba[0], out[1] = rgba[3];
            break;
        case SGL_ALPHA:
            out[0] = rgba[3];
            break;
        case SGL_LUMINANCE:
            out[0] = rgba[0];
            break;
        default:
            std::memcpy(out, rgba, 4);
    }
}

}  // namespace

}  // namespace sgl

using namespace sgl;

extern "C" {

SGL_API void sgl_Enable(unsigned int cap) {
    if (Context* c = current()) run(*c, [cap](Context& at) { setCapability(at, cap, true); });
}

SGL_API void sgl_Disable(unsigned int cap) {
    if (Context* c = current()) run(*c, [cap](Context& at) { setCapability(at, cap, false); });
}

SGL_API unsigned char sgl_IsEnabled(unsigned int cap) {
    Context* c = current();
    if (c == nullptr) return SGL_FALSE;
    switch (cap) {
        case SGL_TEXTURE_2D:
            return c->texture2D ? SGL_TRUE : SGL_FALSE;
        case SGL_NORMALIZE:
            return c->normalize ? SGL_TRUE : SGL_FALSE;
        case SGL_TEXTURE_GEN_S:
        case SGL_TEXTURE_GEN_T:
            return c->texGenEnabled[cap == SGL_TEXTURE_GEN_S ? 0 : 1] ? SGL_TRUE : SGL_FALSE;
        default:
            return glIsEnabled(cap);
    }
}

SGL_API void sgl_TexGeni(unsigned int coord, unsigned int pname, int param) {
    Context* c = current();
    if (c == nullptr) return;
    const GLenum mode = static_cast<GLenum>(param);
    if ((coord != SGL_S && coord != SGL_T) || pname != SGL_TEXTURE_GEN_MODE ||
        (mode != SGL_OBJECT_LINEAR && mode != SGL_SPHERE_MAP)) {
        return recordError(*c, GL_INVALID_ENUM);
    }
    const int index = coord == SGL_S ? 0 : 1;
    run(*c, [index, mode](Context& at) { at.texGenMode[index] = mode; });
}

SGL_API void sgl_BlendFunc(unsigned int sfactor, unsigned int dfactor) {
    if (Context* c = current()) run(*c, [=](Context&) { glBlendFunc(sfactor, dfactor); });
}

SGL_API void sgl_DepthFunc(unsigned int func) {
    if (Context* c = current()) run(*c, [func](Context&) { glDepthFunc(func); });
}

SGL_API void sgl_CullFace(unsigned int mode) {
    if (Context* c = current()) run(*c, [mode](Context&) { glCullFace(mode); });
}

SGL_API void sgl_FrontFace(unsigned int mode) {
    if (Context* c = current()) run(*c, [mode](Context&) { glFrontFace(mode); });
}

SGL_API void sgl_Viewport(int x, int y, int width, int height) {
    Context* c = current();
    if (c == nullptr) return;
    checkStillAlive(*c);
    run(*c, [=](Context&) { glViewport(x, y, width, height); });
}

SGL_API void sgl_Scissor(int x, int y, int width, int height) {
    if (Context* c = current()) run(*c, [=](Context&) { glScissor(x, y, width, height); });
}

SGL_API void sgl_Clear(unsigned int mask) {
    Context* c = current();
    if (c == nullptr) return;
    checkStillAlive(*c);
    run(*c, [mask](Context&) { glClear(mask); });
}

SGL_API void sgl_ClearColor(float red, float green, float blue, float alpha) {
    if (Context* c = current()) {
        run(*c, [=](Context&) { glClearColor(red, green, blue, alpha); });
    }
}

SGL_API void sgl_PixelStorei(unsigned int pname, int param) {
    Context* c = current();
    if (c == nullptr) return;
    if (param != 1 && param != 2 && param != 4 && param != 8) {
        return recordError(*c, GL_INVALID_VALUE);
    }
    if (pname == SGL_UNPACK_ALIGNMENT) {
        c->unpackAlignment = param;
    } else if (pname == SGL_PACK_ALIGNMENT) {
        c->packAlignment = param;
    } else {
        recordError(*c, GL_INVALID_ENUM);
    }
}

SGL_API void sgl_ReadPixels(int x, int y, int width, int height, unsigned int format,
                            unsigned int type, void* pixels) {
    Context* c = current();
    if (c == nullptr || width <= 0 || height <= 0 || pixels == nullptr) return;
    const int channels = channelsOf(format);
    if (channels == 0 || type != SGL_UNSIGNED_BYTE) return recordError(*c, GL_INVALID_ENUM);
    auto* out = static_cast<std::uint8_t*>(pixels);
    const int stride = rowStride(width, channels, c->packAlignment);
    if (format == SGL_RGBA || format == SGL_BGRA) {
        // Straight into the caller's rows; BGRA, which ES 3.0 need not read,
        // is RGBA with red and blue swapped.
        glPixelStorei(GL_PACK_ALIGNMENT, c->packAlignment);
        glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
        if (format == SGL_BGRA) {
            for (int row = 0; row < height; ++row) {
                std::uint8_t* p = out + static_cast<std::size_t>(row) * stride;
                for (int i = 0; i < width; ++i, p += 4) std::swap(p[0], p[2]);
            }
        }
        return;
    }
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    for (int row = 0; row < height; ++row) {
        for (int i = 0; i < width; ++i) {
            storePixel(&rgba[(static_cast<std::size_t>(row) * width + i) * 4], format,
                       out + static_cast<std::size_t>(row) * stride + i * channels);
        }
    }
}

SGL_API void sgl_GetIntegerv(unsigned int pname, int* params) {
    Context* c = current();
    if (c == nullptr || params == nullptr) return;
    if (pname == SGL_UNPACK_ALIGNMENT) {
        *params = c->unpackAlignment;
    } else if (pname == SGL_PACK_ALIGNMENT) {
        *params = c->packAlignment;
    } else {
        glGetIntegerv(pname, params);
    }
}

SGL_API void sgl_GetFloatv(unsigned int pname, float* params) {
    Context* c = current();
    if (c == nullptr || params == nullptr) return;
    switch (pname) {
        case SGL_MODELVIEW_MATRIX:
            std::copy(c->modelView.top().m.begin(), c->modelView.top().m.end(), params);
            return;
        case SGL_PROJECTION_MATRIX:
            std::copy(c->projection.top().m.begin(), c->projection.top().m.end(), params);
            return;
        case SGL_CURRENT_COLOR:
            std::copy(c->current.color, c->current.color + 4, params);
            return;
        case SGL_CURRENT_NORMAL:
            std::copy(c->current.normal, c->current.normal + 3, params);
            return;
        case SGL_CURRENT_TEXTURE_COORDS:
            params[0] = c->current.texCoord[0];
            params[1] = c->current.texCoord[1];
            params[2] = 0.0f;
            params[3] = 1.0f;
            return;
        default:
            glGetFloatv(pname, params);
    }
}

SGL_API void sgl_Finish(void) {
    if (current() != nullptr) glFinish();
}

}  // extern "C"

// Implements the matrix calls on the projection and model-view stacks (32
// deep each, as Mesa's). Double arguments are narrowed to float first, as GL
// implementations here do.
#include "lists.h"

namespace sgl {

namespace {

constexpr std::size_t kMaxStackDepth = 32;
// GL's stack errors, which ES 3.0 does not name.
constexpr GLenum kStackOverflow = 0x0503;
constexpr GLenum kStackUnderflow = 0x0504;

void change(Context& c, void (*apply)(Matrix&, float, float, float), float x, float y, float z) {
    run(c, [apply, x, y, z](Context& at) {
        apply(at.stack().top(), x, y, z);
        at.matricesChanged();
    });
}

void rotateBy(Context& c, float angle, float x, float y, float z) {
    run(c, [angle, x, y, z](Context& at) {
        rotate(at.stack().top(), angle, x, y, z);
        at.matricesChanged();
    });
}

}  // namespace

}  // namespace sgl

using namespace sgl;

extern "C" {

SGL_API void sgl_MatrixMode(unsigned int mode) {
    Context* c = current();
    if (c == nullptr) return;
    if (mode != SGL_MODELVIEW && mode != SGL_PROJECTION) return recordError(*c, GL_INVALID_ENUM);
    run(*c, [mode](Context& at) { at.matrixMode = mode; });
}

SGL_API void sgl_LoadIdentity(void) {
    if (Context* c = current()) {
        run(*c, [](Context& at) {
            at.stack().top() = Matrix{};
            at.matricesChanged();
        });
    }
}

SGL_API void sgl_Frustum(double left, double right, double bottom, double top, double nearVal,
                         double farVal) {
    Context* c = current();
    if (c == nullptr) return;
    if (nearVal <= 0.0 || farVal <= 0.0 || left == right || bottom == top || nearVal == farVal) {
        return recordError(*c, GL_INVALID_VALUE);
    }
    const float f[6] = {static_cast<float>(left),    static_cast<float>(right),
                        static_cast<float>(bottom),  static_cast<float>(top),
                        static_cast<float>(nearVal), static_cast<float>(farVal)};
    run(*c, [l = f[0], r = f[1], b = f[2], t = f[3], n = f[4], fa = f[5]](Context& at) {
        frustum(at.stack().top(), l, r, b, t, n, fa);
        at.matricesChanged();
    });
}

SGL_API void sgl_Rotated(double angle, double x, double y, double z) {
    if (Context* c = current()) {
        rotateBy(*c, static_cast<float>(angle), static_cast<float>(x), static_cast<float>(y),
                 static_cast<float>(z));
    }
}

SGL_API void sgl_Rotatef(float angle, float x, float y, float z) {
    if (Context* c = current()) rotateBy(*c, angle, x, y, z);
}

SGL_API void sgl_Translated(double x, double y, double z) {
    if (Context* c = current()) {
        change(*c, translate, static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
    }
}

SGL_API void sgl_Scaled(double x, double y, double z) {
    if (Context* c = current()) {
        change(*c, scale, static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
    }
}

SGL_API void sgl_Scalef(float x, float y, float z) {
    if (Context* c = current()) change(*c, scale, x, y, z);
}

SGL_API void sgl_PushMatrix(void) {
    if (Context* c = current()) {
        run(*c, [](Context& at) {
            MatrixStack& s = at.stack();
            if (s.entries.size() >= kMaxStackDepth) return recordError(at, kStackOverflow);
            s.entries.push_back(s.top());
        });
    }
}

SGL_API void sgl_PopMatrix(void) {
    if (Context* c = current()) {
        run(*c, [](Context& at) {
            MatrixStack& s = at.stack();
            if (s.entries.size() <= 1) return recordError(at, kStackUnderflow);
            s.entries.pop_back();
            at.matricesChanged();
        });
    }
}

}  // extern "C"

// Implements immediate mode: glBegin/glEnd with GL_TRIANGLES and GL_QUADS,
// and the vertex, normal, texture-coordinate and colour calls. Each vertex
// takes the current attributes; glEnd draws the primitive's triangles at
// once, or, while a list is compiled, hands them to the list.
#include <cmath>

#include "lists.h"
#include "renderer.h"

namespace sgl {

namespace {

// A quad's corners 0 1 2 3 as the triangles 0 1 2 and 0 2 3.
template <typename T>
void quadsToTriangles(std::vector<T>& items) {
    std::vector<T> triangles;
    triangles.reserve(items.size() / 4 * 6);
    for (std::size_t q = 0; q + 3 < items.size(); q += 4) {
        for (const std::size_t k : {0, 1, 2, 0, 2, 3}) triangles.push_back(items[q + k]);
    }
    items.swap(triangles);
}

// The attribute values a new vertex gets: while compiling, those the list
// has set, the others marked to be inherited at replay.
void setAttribute(Context& c, int attribute, const float* value) {
    const int size = attribute == kNormal ? 3 : attribute == kTexCoord ? 2 : 4;
    if (c.compiling) {
        ListCompiler& l = *c.compiling;
        float* target = attribute == kNormal     ? l.values.normal
                        : attribute == kTexCoord ? l.values.texCoord
                                                 : l.values.color;
        for (int i = 0; i < size; ++i) target[i] = value[i];
        l.set[attribute] = true;
        if (c.primitive.open) {
            c.primitive.setInside[attribute] = true;
        } else {
            // Outside glBegin/glEnd the call itself is compiled.
            CurrentValues v = l.values;
            compileCommand(c, [attribute, v](Context& at) {
                const float* source = attribute == kNormal     ? v.normal
                                      : attribute == kTexCoord ? v.texCoord
                                                               : v.color;
                setCurrentAttribute(at, attribute, source);
            });
        }
        return;
    }
    setCurrentAttribute(c, attribute, value);
}

void addVertex(Context& c, float x, float y, float z) {
    Primitive& p = c.primitive;
    if (!p.open) return;  // a vertex outside glBegin/glEnd has no effect
    Vertex v{};
    v.position[0] = x;
    v.position[1] = y;
    v.position[2] = z;
    const CurrentValues& values = c.compiling ? c.compiling->values : c.current;
    for (int i = 0; i < 3; ++i) v.normal[i] = values.normal[i];
    for (int i = 0; i < 2; ++i) v.texCoord[i] = values.texCoord[i];
    for (int i = 0; i < 4; ++i) v.color[i] = values.color[i];
    p.vertices.push_back(v);
    if (c.compiling) {
        std::uint8_t inherits = 0;
        for (int a = 0; a < kAttributeCount; ++a) {
            if (!c.compiling->set[a]) inherits |= 1u << a;
        }
        p.inherits.push_back(inherits);
    }
}

}  // namespace

void setCurrentAttribute(Context& c, int attribute, const float* value) {
    float* target = attribute == kNormal     ? c.current.normal
                    : attribute == kTexCoord ? c.current.texCoord
                                             : c.current.color;
    const int size = attribute == kNormal ? 3 : attribute == kTexCoord ? 2 : 4;
    for (int i = 0; i < size; ++i) target[i] = value[i];
}

}  // namespace sgl

using namespace sgl;

extern "C" {

SGL_API void sgl_Begin(unsigned int mode) {
    Context* c = current();
    if (c == nullptr) return;
    if (c->primitive.open || (mode != SGL_TRIANGLES && mode != SGL_QUADS)) {
        recordError(*c, c->primitive.open ? GL_INVALID_OPERATION : GL_INVALID_ENUM);
        return;
    }
    Primitive& p = c->primitive;
    p.open = true;
    p.mode = mode;
    p.vertices.clear();
    p.inherits.clear();
    for (bool& s : p.setInside) s = false;
}

SGL_API void sgl_End(void) {
    Context* c = currentForVertex();
    if (c == nullptr) return;
    Primitive& p = c->primitive;
    if (!p.open) {
        recordError(*c, GL_INVALID_OPERATION);
        return;
    }
    p.open = false;
    // Incomplete triangles and quads are dropped, as GL drops them.
    const std::size_t corners = p.mode == SGL_QUADS ? 4 : 3;
    p.vertices.resize(p.vertices.size() / corners * corners);
    if (p.mode == SGL_QUADS) {
        quadsToTriangles(p.vertices);
        if (c->compiling) quadsToTriangles(p.inherits);
    }
    if (c->compiling) {
        compilePrimitive(*c);
        return;
    }
    drawVertices(*c, p.vertices.data(), static_cast<GLsizei>(p.vertices.size()));
}

SGL_API void sgl_Vertex3f(float x, float y, float z) {
    if (Context* c = currentForVertex()) addVertex(*c, x, y, z);
}

SGL_API void sgl_Vertex3d(double x, double y, double z) {
    if (Context* c = currentForVertex()) {
        addVertex(*c, static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
    }
}

SGL_API void sgl_Normal3f(float x, float y, float z) {
    const float v[3] = {x, y, z};
    if (Context* c = currentForVertex()) setAttribute(*c, kNormal, v);
}

SGL_API void sgl_Normal3d(double x, double y, double z) {
    sgl_Normal3f(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}

SGL_API void sgl_TexCoord2f(float s, float t) {
    const float v[2] = {s, t};
    if (Context* c = currentForVertex()) setAttribute(*c, kTexCoord, v);
}

SGL_API void sgl_Color3f(float red, float green, float blue) {
    const float v[4] = {red, green, blue, 1.0f};
    if (Context* c = currentForVertex()) setAttribute(*c, kColor, v);
}

}  // extern "C"

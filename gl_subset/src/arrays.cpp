// Implements vertex arrays from client memory: glInterleavedArrays with
// GL_N3F_V3F, glDrawElements with unsigned short indices, the client array
// state saved and restored, and buffer binding 0 (the subset has no buffer
// objects of its own). The arrays are static in the show, so each array and
// index list gets buffers once, found again by their addresses.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "lists.h"
#include "renderer.h"

namespace sgl {

namespace {

constexpr std::size_t kMaxClientStackDepth = 16;
constexpr GLsizei kN3fV3fSize = 6 * sizeof(float);
// GL's stack errors, which ES 3.0 does not name.
constexpr GLenum kStackOverflow = 0x0503;
constexpr GLenum kStackUnderflow = 0x0504;

const float* corner(const ClientArrays& a, std::uint16_t index) {
    const GLsizei stride = a.stride != 0 ? a.stride : kN3fV3fSize;
    return reinterpret_cast<const float*>(static_cast<const std::uint8_t*>(a.pointer) +
                                          static_cast<std::size_t>(index) * stride);
}

std::vector<std::uint16_t> trianglesOf(GLenum mode, const std::uint16_t* indices, GLsizei count) {
    std::vector<std::uint16_t> out;
    if (mode == SGL_TRIANGLES) {
        out.assign(indices, indices + count / 3 * 3);
        return out;
    }
    for (GLsizei q = 0; q + 3 < count; q += 4) {
        for (const int k : {0, 1, 2, 0, 2, 3}) out.push_back(indices[q + k]);
    }
    return out;
}

CachedArray& cachedArray(Context& c, const ArrayKey& key,
                         const std::vector<std::uint16_t>& indices) {
    auto found = c.arrayCache.find(key);
    if (found != c.arrayCache.end()) return found->second;
    const std::uint16_t last =
        indices.empty() ? 0 : *std::max_element(indices.begin(), indices.end());
    std::vector<Vertex> vertices(static_cast<std::size_t>(last) + 1);
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        const float* p = corner(c.arrays, static_cast<std::uint16_t>(i));
        std::memcpy(vertices[i].normal, p, 3 * sizeof(float));
        std::memcpy(vertices[i].position, p + 3, 3 * sizeof(float));
    }
    CachedArray made;
    glGenBuffers(1, &made.vertices);
    glBindBuffer(GL_ARRAY_BUFFER, made.vertices);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(Vertex)),
                 vertices.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    // The texture coordinate and colour come from the current values.
    const bool constant[kAttributeCount] = {false, true, true};
    made.vertexArray = makeVertexArray(made.vertices, constant);
    glBindVertexArray(made.vertexArray);
    glGenBuffers(1, &made.indices);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, made.indices);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(indices.size() * sizeof(std::uint16_t)), indices.data(),
                 GL_STATIC_DRAW);
    glBindVertexArray(0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    return c.arrayCache.emplace(key, made).first->second;
}

}  // namespace

}  // namespace sgl

using namespace sgl;

extern "C" {

SGL_API void sgl_InterleavedArrays(unsigned int format, int stride, const void* pointer) {
    Context* c = current();
    if (c == nullptr) return;
    if (format != SGL_N3F_V3F) return recordError(*c, GL_INVALID_ENUM);
    if (stride < 0) return recordError(*c, GL_INVALID_VALUE);
    c->arrays = {true, pointer, stride};
}

SGL_API void sgl_DrawElements(unsigned int mode, int count, unsigned int type,
                              const void* indices) {
    Context* c = current();
    if (c == nullptr) return;
    if ((mode != SGL_TRIANGLES && mode != SGL_QUADS) || type != SGL_UNSIGNED_SHORT) {
        return recordError(*c, GL_INVALID_ENUM);
    }
    if (count < 0) return recordError(*c, GL_INVALID_VALUE);
    if (count == 0 || !c->arrays.enabled || indices == nullptr || c->arrays.pointer == nullptr) {
        return;
    }
    const auto* index = static_cast<const std::uint16_t*>(indices);
    if (c->compiling) {
        // A list keeps the vertices the arrays hold now, as GL's lists do.
        sgl_Begin(mode);
        for (GLsizei i = 0; i < count; ++i) {
            const float* p = corner(c->arrays, index[i]);
            sgl_Normal3f(p[0], p[1], p[2]);
            sgl_Vertex3f(p[3], p[4], p[5]);
        }
        sgl_End();
        return;
    }
    const ArrayKey key{c->arrays.pointer, c->arrays.stride, indices, count, mode};
    CachedArray* cached;
    auto found = c->arrayCache.find(key);
    if (found != c->arrayCache.end()) {
        cached = &found->second;
    } else {
        cached = &cachedArray(*c, key, trianglesOf(mode, index, count));
    }
    if (!prepareDraw(*c)) return;
    setConstantAttribute(*c, kTexCoord, c->current.texCoord);
    setConstantAttribute(*c, kColor, c->current.color);
    const GLsizei triangles = mode == SGL_TRIANGLES ? count / 3 * 3 : count / 4 * 6;
    glBindVertexArray(cached->vertexArray);
    glDrawElements(GL_TRIANGLES, triangles, GL_UNSIGNED_SHORT, nullptr);
    glBindVertexArray(0);
}

SGL_API void sgl_PushClientAttrib(unsigned int mask) {
    Context* c = current();
    if (c == nullptr) return;
    std::vector<SavedClientState>& stack = c->clientStack;
    if (stack.size() >= kMaxClientStackDepth) return recordError(*c, kStackOverflow);
    stack.push_back({mask, c->arrays});
}

SGL_API void sgl_PopClientAttrib(void) {
    Context* c = current();
    if (c == nullptr) return;
    std::vector<SavedClientState>& stack = c->clientStack;
    if (stack.empty()) return recordError(*c, kStackUnderflow);
    if ((stack.back().mask & SGL_CLIENT_VERTEX_ARRAY_BIT) != 0) c->arrays = stack.back().arrays;
    stack.pop_back();
}

SGL_API void sgl_BindBuffer(unsigned int target, unsigned int buffer) {
    Context* c = current();
    if (c == nullptr) return;
    if (target != SGL_ARRAY_BUFFER && target != SGL_ELEMENT_ARRAY_BUFFER) {
        return recordError(*c, GL_INVALID_ENUM);
    }
    // Arrays always come from client memory here: only 0 can be bound.
    if (buffer != 0) recordError(*c, GL_INVALID_OPERATION);
}

}  // extern "C"

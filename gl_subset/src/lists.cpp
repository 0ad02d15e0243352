// Implements display lists: names, compiling (GL_COMPILE) into one vertex
// buffer per list with commands between its draws, and replay. A vertex made
// before the list set one of its attributes takes that attribute's current
// value at replay, as GL's lists do, and attributes the list sets stay
// current after it.
#include "lists.h"

#include <algorithm>
#include <cstdint>

#include "renderer.h"

namespace sgl {

namespace {

constexpr int kMaxListNesting = 64;

void releaseList(DisplayList& list) {
    for (ListDraw& d : list.draws) {
        if (d.vertexArray != 0) glDeleteVertexArrays(1, &d.vertexArray);
    }
    if (list.buffer != 0) glDeleteBuffers(1, &list.buffer);
    list = DisplayList();
}

float* valueIn(CurrentValues& values, int attribute) {
    return attribute == kNormal     ? values.normal
           : attribute == kTexCoord ? values.texCoord
                                    : values.color;
}

int sizeOf(int attribute) {
    return attribute == kNormal ? 3 : attribute == kTexCoord ? 2 : 4;
}

// Rewrites the vertices of `d` that inherit an attribute whose current value
// differs from what they hold.
void patchInherited(Context& c, DisplayList& list, ListDraw& d) {
    bool changed = false;
    for (int a = 0; a < kAttributeCount; ++a) {
        if (d.inherited[a].empty()) continue;
        const float* now = currentAttribute(c, a);
        float* held = valueIn(d.patchedWith, a);
        if (d.patched[a] && std::equal(now, now + sizeOf(a), held)) continue;
        std::copy(now, now + sizeOf(a), held);
        d.patched[a] = true;
        for (const GLint index : d.inherited[a]) {
            Vertex& v = list.vertices[static_cast<std::size_t>(index)];
            float* target = a == kNormal ? v.normal : a == kTexCoord ? v.texCoord : v.color;
            std::copy(now, now + sizeOf(a), target);
        }
        changed = true;
    }
    if (!changed) return;
    glBindBuffer(GL_ARRAY_BUFFER, list.buffer);
    glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(d.first) * sizeof(Vertex),
                    static_cast<GLsizeiptr>(d.count) * sizeof(Vertex), &list.vertices[d.first]);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void drawListPart(Context& c, DisplayList& list, ListDraw& d) {
    if (!prepareDraw(c)) return;
    for (int a = 0; a < kAttributeCount; ++a) {
        if (d.constant[a]) setConstantAttribute(c, a, currentAttribute(c, a));
    }
    patchInherited(c, list, d);
    glBindVertexArray(d.vertexArray);
    glDrawArrays(GL_TRIANGLES, d.first, d.count);
    glBindVertexArray(0);
}

// Finishes the list under construction: its vertices go into one buffer.
void finishList(Context& c) {
    ListCompiler& l = *c.compiling;
    DisplayList list = std::move(l.list);
    if (!l.vertices.empty()) {
        glGenBuffers(1, &list.buffer);
        glBindBuffer(GL_ARRAY_BUFFER, list.buffer);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(l.vertices.size() * sizeof(Vertex)),
                     l.vertices.data(), GL_STATIC_DRAW);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        bool keepVertices = false;
        for (ListDraw& d : list.draws) {
            d.vertexArray = makeVertexArray(list.buffer, d.constant);
            for (const auto& inherited : d.inherited)
                keepVertices = keepVertices || !inherited.empty();
        }
        if (keepVertices) list.vertices = std::move(l.vertices);
    }
    const GLuint name = l.name;
    c.compiling.reset();
    auto old = c.lists.find(name);
    if (old != c.lists.end()) releaseList(old->second);
    c.lists[name] = std::move(list);
}

}  // namespace

const float* currentAttribute(const Context& c, int attribute) {
    return attribute == kNormal     ? c.current.normal
           : attribute == kTexCoord ? c.current.texCoord
                                    : c.current.color;
}

void run(Context& c, Command command) {
    if (c.compiling) {
        compileCommand(c, std::move(command));
    } else {
        command(c);
    }
}

void compileCommand(Context& c, Command command) {
    c.compiling->list.ops.push_back({-1, std::move(command)});
}

void compilePrimitive(Context& c) {
    ListCompiler& l = *c.compiling;
    Primitive& p = c.primitive;
    if (!p.vertices.empty()) {
        ListDraw d;
        d.first = static_cast<GLint>(l.vertices.size());
        d.count = static_cast<GLsizei>(p.vertices.size());
        for (int a = 0; a < kAttributeCount; ++a) {
            std::vector<GLint> inheriting;
            for (std::size_t k = 0; k < p.inherits.size(); ++k) {
                if ((p.inherits[k] & (1u << a)) != 0)
                    inheriting.push_back(d.first + static_cast<GLint>(k));
            }
            if (inheriting.size() == p.vertices.size()) {
                d.constant[a] = true;
            } else {
                d.inherited[a] = std::move(inheriting);
            }
        }
        l.vertices.insert(l.vertices.end(), p.vertices.begin(), p.vertices.end());
        l.list.ops.push_back({static_cast<int>(l.list.draws.size()), {}});
        l.list.draws.push_back(std::move(d));
    }
    // What the primitive set stays current after it.
    for (int a = 0; a < kAttributeCount; ++a) {
        if (!p.setInside[a]) continue;
        CurrentValues v = l.values;
        compileCommand(c,
                       [a, v](Context& at) mutable { setCurrentAttribute(at, a, valueIn(v, a)); });
    }
}

void callList(Context& c, GLuint name) {
    if (c.callDepth >= kMaxListNesting) return;
    auto found = c.lists.find(name);
    if (found == c.lists.end()) return;
    DisplayList& list = found->second;
    ++c.callDepth;
    for (DisplayList::Op& op : list.ops) {
        if (op.draw >= 0) {
            drawListPart(c, list, list.draws[static_cast<std::size_t>(op.draw)]);
        } else {
            op.command(c);
        }
    }
    --c.callDepth;
}

}  // namespace sgl

using namespace sgl;

namespace {

// A list called from a list being compiled leaves the current values unknown
// to the compiler: later vertices inherit again.
void compileCall(Context& c, Command command) {
    compileCommand(c, std::move(command));
    for (bool& set : c.compiling->set) set = false;
}

}  // namespace

extern "C" {

SGL_API unsigned int sgl_GenLists(int range) {
    Context* c = current();
    if (c == nullptr) return 0;
    checkStillAlive(*c);
    if (range < 0) recordError(*c, GL_INVALID_VALUE);
    if (range <= 0) return 0;
    // The first gap of `range` free names.
    GLuint start = 1;
    for (auto it = c->lists.begin(); it != c->lists.end(); ++it) {
        if (it->first >= start && it->first - start >= static_cast<GLuint>(range)) break;
        if (it->first >= start) start = it->first + 1;
    }
    if (start > 0xFFFFFFFFu - static_cast<GLuint>(range)) return 0;
    for (GLuint n = start; n < start + static_cast<GLuint>(range); ++n) c->lists[n];
    return start;
}

SGL_API void sgl_NewList(unsigned int list, unsigned int mode) {
    Context* c = current();
    if (c == nullptr) return;
    if (list == 0) return recordError(*c, GL_INVALID_VALUE);
    if (mode != SGL_COMPILE) return recordError(*c, GL_INVALID_ENUM);
    if (c->compiling || c->primitive.open) return recordError(*c, GL_INVALID_OPERATION);
    checkStillAlive(*c);
    c->compiling = std::make_unique<ListCompiler>();
    c->compiling->name = list;
}

SGL_API void sgl_EndList(void) {
    Context* c = current();
    if (c == nullptr) return;
    if (!c->compiling || c->primitive.open) return recordError(*c, GL_INVALID_OPERATION);
    finishList(*c);
}

SGL_API void sgl_CallList(unsigned int list) {
    Context* c = current();
    if (c == nullptr) return;
    if (c->compiling) {
        compileCall(*c, [list](Context& at) { callList(at, list); });
        return;
    }
    callList(*c, list);
}

SGL_API void sgl_CallLists(int count, unsigned int type, const void* lists) {
    Context* c = current();
    if (c == nullptr || count <= 0 || lists == nullptr) return;
    if (type != SGL_UNSIGNED_BYTE) return recordError(*c, GL_INVALID_ENUM);
    const auto* bytes = static_cast<const std::uint8_t*>(lists);
    if (c->compiling) {
        std::vector<std::uint8_t> names(bytes, bytes + count);
        compileCall(*c, [names](Context& at) {
            for (const std::uint8_t n : names) callList(at, at.listBase + n);
        });
        return;
    }
    for (int i = 0; i < count; ++i) callList(*c, c->listBase + bytes[i]);
}

SGL_API void sgl_ListBase(unsigned int base) {
    if (Context* c = current()) run(*c, [base](Context& at) { at.listBase = base; });
}

SGL_API void sgl_DeleteLists(unsigned int list, int range) {
    Context* c = current();
    if (c == nullptr) return;
    if (range < 0) return recordError(*c, GL_INVALID_VALUE);
    auto it = c->lists.lower_bound(list);
    while (it != c->lists.end() && it->first - list < static_cast<GLuint>(range)) {
        releaseList(it->second);
        it = c->lists.erase(it);
    }
}

SGL_API unsigned char sgl_IsList(unsigned int list) {
    Context* c = current();
    if (c == nullptr) return SGL_FALSE;
    checkStillAlive(*c);
    return c->lists.count(list) != 0 ? SGL_TRUE : SGL_FALSE;
}

}  // extern "C"

// The state of one OpenGL ES context as the GL subset keeps it: the
// fixed-function state that OpenGL ES lacks (matrix stacks, current vertex
// attributes, texture-coordinate generation, texture formats, display lists,
// client arrays) and the ES objects that draw it. The state that ES keeps
// itself (depth, cull, blend, scissor, viewport, clear colour) stays there.
#pragma once

#include <GLES3/gl3.h>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

#include "matrix.h"
#include "sorvanel_gl/sgl_api.h"

namespace sgl {

// One vertex as the shader takes it.
struct Vertex {
    float position[3];
    float normal[3];
    float texCoord[2];
    float color[4];
};

// The attributes a vertex takes from the current values when it is made.
enum Attribute : int { kNormal = 0, kTexCoord = 1, kColor = 2 };
constexpr int kAttributeCount = 3;

struct CurrentValues {
    float normal[3] = {0.0f, 0.0f, 1.0f};
    float texCoord[2] = {0.0f, 0.0f};
    float color[4] = {1.0f, 1.0f, 1.0f, 1.0f};
};

struct Context;
// A compiled call that is not drawing: run against the context at replay.
using Command = std::function<void(Context&)>;

// One glBegin/glEnd of a display list, as triangles in the list's buffer.
// Vertices made before the list set an attribute take the attribute's
// current value at replay: when all of a draw's vertices do, the attribute is
// a constant; when some do, those are rewritten in the buffer at replay.
struct ListDraw {
    GLint first = 0;
    GLsizei count = 0;
    GLuint vertexArray = 0;
    bool constant[kAttributeCount] = {};
    std::vector<GLint> inherited[kAttributeCount];  // vertex indices, when some inherit
    bool patched[kAttributeCount] = {};             // inherited vertices hold `patchedWith`
    CurrentValues patchedWith;
};

struct DisplayList {
    // In call order: a draw (index into draws) or a command.
    struct Op {
        int draw = -1;
        Command command;
    };
    std::vector<Op> ops;
    std::vector<ListDraw> draws;
    GLuint buffer = 0;
    // Kept only while a draw has vertices to rewrite at replay.
    std::vector<Vertex> vertices;
};

// glNewList to glEndList: the list under construction and the attribute
// values the list itself has set so far (its vertices record those).
struct ListCompiler {
    GLuint name = 0;
    DisplayList list;
    std::vector<Vertex> vertices;
    bool set[kAttributeCount] = {};
    CurrentValues values;
};

// glBegin to glEnd: the vertices so far, and per vertex which attributes it
// inherits (only while compiling).
struct Primitive {
    bool open = false;
    GLenum mode = 0;
    std::vector<Vertex> vertices;
    std::vector<std::uint8_t> inherits;
    bool setInside[kAttributeCount] = {};
};

struct TextureLevel {
    GLsizei width = 0;
    GLsizei height = 0;
    GLenum base = 0;  // GL_ALPHA, GL_LUMINANCE, GL_LUMINANCE_ALPHA, GL_RGB or GL_RGBA
};

struct TextureInfo {
    std::vector<TextureLevel> levels;
    GLenum minFilter = GL_NEAREST_MIPMAP_LINEAR;
};

// The interleaved normal and vertex arrays in client memory.
struct ClientArrays {
    bool enabled = false;
    const void* pointer = nullptr;
    GLsizei stride = 0;
};

// Buffers made once for a static client array and its indices.
struct CachedArray {
    GLuint vertexArray = 0;
    GLuint vertices = 0;
    GLuint indices = 0;
};
// The arrays' address and stride, the indices' address, count and mode.
using ArrayKey = std::tuple<const void*, GLsizei, const void*, GLsizei, GLenum>;

// What glPushClientAttrib saved.
struct SavedClientState {
    GLbitfield mask = 0;
    ClientArrays arrays;
};

// One program of the fixed-function stages, for one combination of state.
struct Program {
    GLuint id = 0;
    GLint modelViewProjection = -1;
    GLint modelView = -1;
    GLint normalMatrix = -1;
    std::uint64_t matricesUploaded = 0;
};

// The ES objects the subset draws with and the values last handed to them.
struct Gpu {
    std::map<int, Program> programs;  // by stateKey()
    GLuint programInUse = 0;
    GLuint streamArray = 0;
    GLuint streamBuffer = 0;
    // Values of the attributes read from no array, as last set (NaN: unknown).
    float constants[kAttributeCount][4];
    // The products of the matrices, worked out once per change.
    std::uint64_t productsOf = 0;
    Matrix modelViewProjection;
    std::array<float, 9> normalMatrix{};
};

struct MatrixStack {
    std::vector<Matrix> entries = std::vector<Matrix>(1);
    Matrix& top() { return entries.back(); }
};

struct Context {
    MatrixStack modelView;
    MatrixStack projection;
    GLenum matrixMode = SGL_MODELVIEW;
    std::uint64_t matrixSerial = 1;  // counts changes, for the uniforms

    bool texture2D = false;
    bool normalize = false;
    bool texGenEnabled[2] = {false, false};
    GLenum texGenMode[2] = {0x2400, 0x2400};  // GL_EYE_LINEAR, GL's default

    CurrentValues current;
    Primitive primitive;

    std::map<GLuint, DisplayList> lists;
    GLuint listBase = 0;
    std::unique_ptr<ListCompiler> compiling;
    int callDepth = 0;

    std::map<GLuint, TextureInfo> textures;
    GLuint boundTexture = 0;
    GLint unpackAlignment = 4;
    GLint packAlignment = 4;

    ClientArrays arrays;
    std::vector<SavedClientState> clientStack;
    std::map<ArrayKey, CachedArray> arrayCache;

    Gpu gpu;
    GLenum error = GL_NO_ERROR;  // the first error since the context was made
    // What framebuffer 0 stands for: the platform's own (0), or one a surface
    // draws into instead and presents itself (sgl_SetWindowFramebuffer).
    GLuint windowFramebuffer = 0;

    MatrixStack& stack() { return matrixMode == SGL_PROJECTION ? projection : modelView; }
    void matricesChanged() { ++matrixSerial; }
};

// The state of the context current on this thread, made on first use; nullptr
// when no context is current (calls then do nothing, as GL's do).
Context* current();
// The context of the glBegin in progress: attribute and vertex calls take it
// without asking the platform.
Context* currentForVertex();
// A handle that has come back for a new context (the old one destroyed) is
// found out on the new context's first glViewport, glClear, list or texture
// naming: its state starts anew.
void checkStillAlive(Context& context);

// Records the first error, as glGetError would report it.
void recordError(Context& context, GLenum error);

}  // namespace sgl

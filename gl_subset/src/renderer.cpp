// Implements the subset's drawing over OpenGL ES 3: programs compiled per
// state combination on first use, uniforms uploaded when the matrices have
// changed since the program last saw them, one stream buffer for immediate
// mode. Needs GLES 3.
#include "renderer.h"

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <string>

#include "shaders.h"

namespace sgl {

namespace {

constexpr GLsizei kStride = sizeof(Vertex);

// GL's texture-generation modes as the shader numbers them.
int texGenCode(const Context& c, int coordinate) {
    if (!c.texGenEnabled[coordinate]) return 0;
    switch (c.texGenMode[coordinate]) {
        case SGL_OBJECT_LINEAR:
            return 1;
        case SGL_SPHERE_MAP:
            return 2;
        default:
            return 3;  // GL_EYE_LINEAR with its default plane
    }
}

GLuint compile(GLenum stage, const std::string& source) {
    const GLuint shader = glCreateShader(stage);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok == GL_FALSE) {
        char log[1024] = {};
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        std::fprintf(stderr, "sorvanel_gl: shader does not compile: %s\n", log);
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

Program makeProgram(int textureMode, int texGenS, int texGenT, bool normalize) {
    const std::string defines = "#version 300 es\nprecision highp float;\nprecision highp int;\n" +
                                std::string("#define TEXTURE_MODE ") + std::to_string(textureMode) +
                                "\n#define TEXGEN_S " + std::to_string(texGenS) +
                                "\n#define TEXGEN_T " + std::to_string(texGenT) +
                                "\n#define NORMALIZE " + (normalize ? "1" : "0") + "\n";
    Program p;
    const GLuint vertex = compile(GL_VERTEX_SHADER, defines + kVertexShaderBody);
    const GLuint fragment = compile(GL_FRAGMENT_SHADER, defines + kFragmentShaderBody);
    if (vertex == 0 || fragment == 0) return p;
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok == GL_FALSE) {
        std::fprintf(stderr, "sorvanel_gl: program does not link\n");
        glDeleteProgram(program);
        return p;
    }
    p.id = program;
    p.modelViewProjection = glGetUniformLocation(program, "modelViewProjection");
    p.modelView = glGetUniformLocation(program, "modelView");
    p.normalMatrix = glGetUniformLocation(program, "normalMatrix");
    return p;
}

}  // namespace

void prepareContext(Context& c) {
    Gpu& g = c.gpu;
    for (auto& value : g.constants) {
        for (float& v : value) v = NAN;
    }
    glGenBuffers(1, &g.streamBuffer);
    const bool none[kAttributeCount] = {};
    g.streamArray = makeVertexArray(g.streamBuffer, none);
    // Pixel rows reach ES tightly packed: the subset unpacks them itself.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
}

namespace {

void updateProducts(Context& c) {
    Gpu& g = c.gpu;
    if (g.productsOf == c.matrixSerial) return;
    g.modelViewProjection = multiply(c.projection.top(), c.modelView.top());
    g.normalMatrix = normalMatrixColumns(c.modelView.top());
    g.productsOf = c.matrixSerial;
}

}  // namespace

GLuint makeVertexArray(GLuint buffer, const bool constant[kAttributeCount]) {
    GLuint array = 0;
    glGenVertexArrays(1, &array);
    glBindVertexArray(array);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glEnableVertexAttribArray(kPositionLocation);
    glVertexAttribPointer(kPositionLocation, 3, GL_FLOAT, GL_FALSE, kStride,
                          reinterpret_cast<const void*>(offsetof(Vertex, position)));
    const std::size_t offsets[kAttributeCount] = {
        offsetof(Vertex, normal), offsetof(Vertex, texCoord), offsetof(Vertex, color)};
    const GLint sizes[kAttributeCount] = {3, 2, 4};
    for (int a = 0; a < kAttributeCount; ++a) {
        if (constant[a]) continue;
        glEnableVertexAttribArray(a + 1);
        glVertexAttribPointer(a + 1, sizes[a], GL_FLOAT, GL_FALSE, kStride,
                              reinterpret_cast<const void*>(offsets[a]));
    }
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return array;
}

int textureMode(const Context& c) {
    if (!c.texture2D) return 0;
    const auto found = c.textures.find(c.boundTexture);
    if (found == c.textures.end()) return 0;
    const TextureInfo& t = found->second;
    // GL's completeness: level 0, and with a mipmap filter every level down
    // to 1 x 1 at half the size before, all of one format.
    if (t.levels.empty() || t.levels[0].width <= 0 || t.levels[0].height <= 0) return 0;
    const TextureLevel& base = t.levels[0];
    const bool mipmapped = t.minFilter != GL_NEAREST && t.minFilter != GL_LINEAR;
    if (mipmapped) {
        GLsizei w = base.width, h = base.height;
        for (std::size_t level = 1; w > 1 || h > 1; ++level) {
            w = w > 1 ? w / 2 : 1;
            h = h > 1 ? h / 2 : 1;
            if (level >= t.levels.size()) return 0;
            const TextureLevel& l = t.levels[level];
            if (l.width != w || l.height != h || l.base != base.base) return 0;
        }
    }
    return base.base == GL_ALPHA ? 2 : 1;
}

bool prepareDraw(Context& c) {
    Gpu& g = c.gpu;
    const int mode = textureMode(c);
    const int s = texGenCode(c, 0);
    const int t = texGenCode(c, 1);
    const bool normalize = c.normalize;
    const int key = mode | s << 2 | t << 4 | (normalize ? 1 : 0) << 6;
    auto found = g.programs.find(key);
    if (found == g.programs.end()) {
        found = g.programs.emplace(key, makeProgram(mode, s, t, normalize)).first;
    }
    Program& p = found->second;
    if (p.id == 0) return false;
    if (g.programInUse != p.id) {
        glUseProgram(p.id);
        g.programInUse = p.id;
    }
    if (p.matricesUploaded != c.matrixSerial) {
        updateProducts(c);
        glUniformMatrix4fv(p.modelViewProjection, 1, GL_FALSE, g.modelViewProjection.m.data());
        if (p.modelView >= 0) {
            glUniformMatrix4fv(p.modelView, 1, GL_FALSE, c.modelView.top().m.data());
        }
        if (p.normalMatrix >= 0)
            glUniformMatrix3fv(p.normalMatrix, 1, GL_FALSE, g.normalMatrix.data());
        p.matricesUploaded = c.matrixSerial;
    }
    return true;
}

void setConstantAttribute(Context& c, int attribute, const float* value) {
    float* known = c.gpu.constants[attribute];
    const int size = attribute == kNormal ? 3 : attribute == kTexCoord ? 2 : 4;
    bool same = true;
    for (int i = 0; i < size; ++i) same = same && known[i] == value[i];
    if (same) return;
    for (int i = 0; i < size; ++i) known[i] = value[i];
    const GLuint location = static_cast<GLuint>(attribute) + 1;
    if (size == 3) {
        glVertexAttrib4f(location, value[0], value[1], value[2], 1.0f);
    } else if (size == 2) {
        glVertexAttrib4f(location, value[0], value[1], 0.0f, 1.0f);
    } else {
        glVertexAttrib4fv(location, value);
    }
}

void drawVertices(Context& c, const Vertex* vertices, GLsizei count) {
    if (count <= 0 || !prepareDraw(c)) return;
    Gpu& g = c.gpu;
    glBindBuffer(GL_ARRAY_BUFFER, g.streamBuffer);
    // A fresh store each time: the driver need not wait for the last draw.
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(count) * kStride, vertices,
                 GL_STREAM_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(g.streamArray);
    glDrawArrays(GL_TRIANGLES, 0, count);
    glBindVertexArray(0);
}

}  // namespace sgl

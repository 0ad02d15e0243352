// Drawing for the GL subset: the program for the current fixed-function
// state with its uniforms, the attributes that come from current values, and
// vertex arrays over buffers of Vertex records.
#pragma once

#include "context.h"

namespace sgl {

// The shader's attribute locations; the normal, texture coordinate and
// colour are Attribute + 1.
constexpr GLuint kPositionLocation = 0;

// Makes the ES objects every context needs, on its first use.
void prepareContext(Context& context);

// Makes the program for the context's state current with its uniforms up to
// date. False when no program can be made (nothing is drawn then).
bool prepareDraw(Context& context);

// An attribute that no array feeds takes the current value (glVertexAttrib).
void setConstantAttribute(Context& context, int attribute, const float* value);

// Triangles of vertices in memory, through the context's stream buffer.
void drawVertices(Context& context, const Vertex* vertices, GLsizei count);

// A vertex array over `buffer` of Vertex records; the attributes whose flag
// is set in `constant` are left to setConstantAttribute.
GLuint makeVertexArray(GLuint buffer, const bool constant[kAttributeCount]);

// 0: texturing off (disabled, or the bound texture incomplete); 1: modulate
// by all four channels; 2: an alpha texture, which modulates alpha only.
int textureMode(const Context& context);

}  // namespace sgl

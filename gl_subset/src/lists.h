// What the subset's entry points share about display lists and current
// values: compiling calls into the list under construction and replaying it.
#pragma once

#include "context.h"

namespace sgl {

// Runs `command` now, or, while a list is being compiled, records it there.
void run(Context& context, Command command);
// Appends a command to the list under construction.
void compileCommand(Context& context, Command command);
// Hands the triangles of the glBegin/glEnd just ended to the list.
void compilePrimitive(Context& context);
// Replays list `name`, if it exists (at most 64 lists deep, as GL's limit).
void callList(Context& context, GLuint name);
// Sets a current value (normal, texture coordinate or colour) as the calls do.
void setCurrentAttribute(Context& context, int attribute, const float* value);
// The current value of an attribute.
const float* currentAttribute(const Context& context, int attribute);

}  // namespace sgl

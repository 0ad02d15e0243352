// The three ways of sending one baked mesh to OpenGL (see MeshEmission).
#pragma once

#include "meshes/baked_mesh_data.h"

// glBegin(GL_TRIANGLES), glNormal3f and glVertex3f per corner, glEnd.
void emitImmediate(const BakedMeshData& mesh);

// glDrawElements over the mesh's positions; the client array state is saved
// and restored around it.
void emitFromArrays(const BakedMeshData& mesh);

// glCallList of the mesh's list in the current context, compiled from
// emitImmediate the first time the context asks for it.
void emitFromList(int meshIndex);

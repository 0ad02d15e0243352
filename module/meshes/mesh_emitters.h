// The three ways of sending one baked mesh to OpenGL (see MeshEmission).
#pragma once

#include "meshes/baked_mesh_data.h"

// glBegin(GL_TRIANGLES), glNormal3f and glVertex3f per corner, glEnd.
void emitImmediate(const BakedMeshData& mesh);

// glDrawElements over the mesh's positions; the client array state is saved
// and restored around it.
void emitFromArrays(const BakedMeshData& mesh);

// The display lists of the five meshes and the context they were compiled
// in (known by its handle); empty until the first emitFromList.
struct MeshLists {
    const void* context = nullptr;
    unsigned int base = 0;  // the first list's name; the others follow
};

// glCallList of the mesh's list in the current context, compiled from
// emitImmediate into `lists` the first time the context asks for it.
void emitFromList(MeshLists& lists, int meshIndex);

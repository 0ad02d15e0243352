// Sends baked meshes to OpenGL immediately, from arrays or from display lists.
// Needs a current context; the lists are keyed by the context they live in.
// (glBindBuffer comes with GL/gl.h's extension prototypes.)
#define GL_GLEXT_PROTOTYPES
#include "meshes/mesh_emitters.h"

#include <GL/gl.h>

#include "common/gl_context_probe.h"

void emitImmediate(const BakedMeshData& mesh) {
    glBegin(GL_TRIANGLES);
    for (int k = 0; k < mesh.cornerCount; ++k) {
        const float* v = mesh.vertices + 6 * mesh.corners[k];
        glNormal3f(v[0], v[1], v[2]);
        glVertex3f(v[3], v[4], v[5]);
    }
    glEnd();
}

void emitFromArrays(const BakedMeshData& mesh) {
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    // The pointers below are client memory, never offsets into a buffer.
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    // Enables the normal and vertex arrays and disables every other one, so
    // the current colour and texture coordinate apply as in immediate mode.
    glInterleavedArrays(GL_N3F_V3F, 0, mesh.vertices);
    glDrawElements(GL_TRIANGLES, mesh.cornerCount, GL_UNSIGNED_SHORT, mesh.corners);
    glPopClientAttrib();
}

void emitFromList(MeshLists& lists, int meshIndex) {
    const void* context = currentGlContext();
    // A new context, or one that has lost our lists, gets them compiled anew.
    if (context != lists.context || lists.base == 0 || !glIsList(lists.base)) {
        lists = {context, glGenLists(kBakedMeshCount)};
        if (lists.base == 0) {
            emitImmediate(bakedMeshData[meshIndex]);
            return;
        }
        for (int m = 0; m < kBakedMeshCount; ++m) {
            glNewList(lists.base + m, GL_COMPILE);
            emitImmediate(bakedMeshData[m]);
            glEndList();
        }
    }
    glCallList(lists.base + meshIndex);
}

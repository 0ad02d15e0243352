// The five baked triangle meshes: each emit sends the whole mesh, normal then
// vertex per corner, under the caller's matrices, colour and texture state.
#pragma once

#include "meshes/mesh_emitters.h"

// How the corners reach OpenGL. Every way sends the same corners in the same
// order with the same normals.
enum class MeshEmission {
    // glBegin/glEnd with glNormal3f and glVertex3f per corner.
    Immediate,
    // One indexed draw from the module's own arrays; no GL object is made,
    // so it works in any context. The default: several times faster than
    // Immediate on a software renderer.
    VertexArrays,
    // One display list per mesh, compiled by the set on first use in each
    // context. A context is known by its handle and by the lists still
    // existing in it: meant for one long-lived context, such as the show's
    // window.
    DisplayLists,
};

class BakedMeshSet {
  public:
    void emitMesh1() const;
    void emitMesh2() const;
    void emitMesh3() const;
    void emitMesh4() const;
    void emitMesh5() const;

    // VertexArrays until changed.
    void setEmission(MeshEmission emission) { emission_ = emission; }
    MeshEmission emission() const { return emission_; }

  private:
    void emit(int meshIndex) const;

    MeshEmission emission_ = MeshEmission::VertexArrays;
    // DisplayLists only: compiled on the first emit, a cache of the set.
    mutable MeshLists lists_;
};

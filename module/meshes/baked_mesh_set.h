// The five baked triangle meshes: each emit sends the whole mesh, normal then
// vertex per corner, under the caller's matrices, colour and texture state.
#pragma once

// How the corners reach OpenGL. Every way sends the same corners in the same
// order with the same normals.
enum class MeshEmission {
    // glBegin/glEnd with glNormal3f and glVertex3f per corner.
    Immediate,
    // One indexed draw from the module's own arrays; no GL object is made,
    // so it works in any context. The default: several times faster than
    // Immediate on a software renderer.
    VertexArrays,
    // One display list per mesh, compiled on first use in each context. A
    // context is known by its handle and by the lists still existing in it:
    // meant for one long-lived context, such as the show's window.
    DisplayLists,
};

class BakedMeshSet {
  public:
    void emitMesh1() const;
    void emitMesh2() const;
    void emitMesh3() const;
    void emitMesh4() const;
    void emitMesh5() const;

    // Module-wide; VertexArrays until changed.
    static void setEmission(MeshEmission emission);
    static MeshEmission emission();
};

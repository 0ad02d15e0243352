// The five baked triangle meshes: each emit sends the whole mesh, normal then
// vertex per corner, under the caller's matrices, colour and texture state.
#pragma once

class BakedMeshSet {
public:
    void emitMesh1() const;
    void emitMesh2() const;
    void emitMesh3() const;
    void emitMesh4() const;
    void emitMesh5() const;
};

// BakedMeshSet: each emit sends its mesh in the set's emission mode.
#include "meshes/baked_mesh_set.h"

#include "meshes/baked_mesh_data.h"

void BakedMeshSet::emit(int meshIndex) const {
    switch (emission_) {
        case MeshEmission::Immediate:
            emitImmediate(bakedMeshData[meshIndex]);
            break;
        case MeshEmission::VertexArrays:
            emitFromArrays(bakedMeshData[meshIndex]);
            break;
        case MeshEmission::DisplayLists:
            emitFromList(lists_, meshIndex);
            break;
    }
}

void BakedMeshSet::emitMesh1() const {
    emit(0);
}
void BakedMeshSet::emitMesh2() const {
    emit(1);
}
void BakedMeshSet::emitMesh3() const {
    emit(2);
}
void BakedMeshSet::emitMesh4() const {
    emit(3);
}
void BakedMeshSet::emitMesh5() const {
    emit(4);
}

// BakedMeshSet: each emit sends its mesh in the module-wide emission mode.
#include "meshes/baked_mesh_set.h"

#include "meshes/baked_mesh_data.h"
#include "meshes/mesh_emitters.h"

namespace {

MeshEmission currentEmission = MeshEmission::VertexArrays;

void emit(int meshIndex) {
    switch (currentEmission) {
        case MeshEmission::Immediate:
            emitImmediate(bakedMeshData[meshIndex]);
            break;
        case MeshEmission::VertexArrays:
            emitFromArrays(bakedMeshData[meshIndex]);
            break;
        case MeshEmission::DisplayLists:
            emitFromList(meshIndex);
            break;
    }
}

}  // namespace

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

void BakedMeshSet::setEmission(MeshEmission emission) {
    currentEmission = emission;
}

MeshEmission BakedMeshSet::emission() {
    return currentEmission;
}

// Placeholder until the baked meshes land: nothing is emitted.
#include "meshes/baked_mesh_set.h"

void BakedMeshSet::emitMesh1() const {}
void BakedMeshSet::emitMesh2() const {}
void BakedMeshSet::emitMesh3() const {}
void BakedMeshSet::emitMesh4() const {}
void BakedMeshSet::emitMesh5() const {}

// Writes the baked meshes: one corner file per mesh for inspection and tests,
// and the C++ source the module compiles them from.
#pragma once

#include <string>
#include <vector>

#include "indexed_mesh.h"

// Per corner in emission order, six little-endian 32-bit floats:
// nx, ny, nz, x, y, z.
bool writeCornerFile(const BakedMesh& mesh, const std::string& path);

// Defines bakedMeshData (module/meshes/baked_mesh_data.h) with every float
// written exactly (hexadecimal literals).
bool writeMeshSource(const std::vector<BakedMesh>& meshes, const std::string& path);

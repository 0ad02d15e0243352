// The mesh tool refuses to write a mesh that misses its target: wrong counts,
// an open or inconsistently wound surface, the origin on the wrong side, or
// positions outside the allowed distances.
#pragma once

#include <string>

#include "indexed_mesh.h"
#include "mesh_targets.h"

// Empty when the mesh is fine, else what is wrong.
std::string checkMesh(const BakedMesh& mesh, const MeshTarget& target);

// One line of figures for the tool's --report.
std::string describeMesh(const BakedMesh& mesh);

// The five baked meshes as the mesh tool writes them into the module: per
// position its unit normal and its place, and the corners of the triangles
// as indices into those positions, in emission order.
#pragma once

#include <cstdint>

constexpr int kBakedMeshCount = 5;

struct BakedMeshData {
    const float* vertices;  // six floats per position: nx, ny, nz, x, y, z
    int vertexCount;
    const std::uint16_t* corners;  // three per triangle
    int cornerCount;
};

extern const BakedMeshData bakedMeshData[kBakedMeshCount];

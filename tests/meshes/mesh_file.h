// Reads a baked mesh corner file (six little-endian floats per corner:
// nx, ny, nz, x, y, z) and indexes its corners by exact position.
#pragma once

#include <array>
#include <string>
#include <vector>

struct MeshFile {
    std::vector<std::array<float, 6>> corners;    // as stored
    std::vector<std::array<float, 3>> positions;  // distinct, in order of first use
    std::vector<std::array<float, 3>> normals;    // the normal of each position's first corner
    std::vector<int> cornerPositions;             // position index per corner
};

// The folder the mesh tool writes to, fixed at build time.
std::string meshFolder();

// Empty corners when the file cannot be read or its size is not a whole
// number of triangles.
MeshFile readMeshFile(int meshNumber);

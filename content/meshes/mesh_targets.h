// What each baked mesh must measure: counts, bounding box, genus, whether the
// origin lies inside, and for some the range of distances from the origin.
#pragma once

#include "indexed_mesh.h"

struct MeshTarget {
    int triangles;
    int positions;
    Box box;
    int genus;
    bool originInside;
    double minDistance;  // 0 when not constrained
    double maxDistance;
};

inline constexpr MeshTarget kMeshTargets[5] = {
    {564, 284, {{-26.71, -28.17, -28.71}, {60.29, 68.66, 64.32}}, 0, true, 26.2, 80.9},
    {2000, 1000, {{-4.56, -4.31, 0.32}, {5.68, 4.17, 11.46}}, 1, false, 0.0, 0.0},
    {1388, 696, {{-11.81, -9.65, -5.04}, {9.58, 10.34, 15.83}}, 0, false, 0.0, 0.0},
    {468, 236, {{-1.0, -1.0, -0.985}, {1.0, 1.0, 0.985}}, 0, true, 1.0, 1.0},
    {468, 236, {{-1.06, -0.96, -1.17}, {1.17, 1.09, 0.99}}, 0, true, 0.95, 1.27},
};

// Evenly spread points on the unit sphere and their convex hull, which gives a
// closed genus-0 triangulation with any number of positions n (2n - 4 triangles).
#pragma once

#include <optional>
#include <vector>

#include "indexed_mesh.h"

// Points on a golden-angle spiral from the +y pole to the -y pole.
std::vector<Vec3> fibonacciSphere(int count);

// The hull's triangles, counter-clockwise seen from outside, or nothing when a
// point did not end up on the hull (the caller's points must all be extreme).
std::optional<std::vector<Triangle>> convexHull(const std::vector<Vec3>& points);

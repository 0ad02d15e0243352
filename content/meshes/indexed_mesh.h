// A triangle mesh as shared positions and index triangles, and the steps every
// baked mesh goes through: fitting into its bounding box, rounding to single
// precision, outward winding and smooth unit normals.
#pragma once

#include <array>
#include <vector>

#include "vec3.h"

using Triangle = std::array<int, 3>;

struct IndexedMesh {
    std::vector<Vec3> positions;
    std::vector<Triangle> triangles;
};

struct Box {
    Vec3 min;
    Vec3 max;
};

// The mesh as the module carries it: single-precision positions, one unit
// normal per position, and the triangles in emission order.
struct BakedMesh {
    std::vector<std::array<float, 3>> positions;
    std::vector<std::array<float, 3>> normals;
    std::vector<Triangle> triangles;
};

Box boundingBox(const std::vector<Vec3>& points);

// Scales and shifts each axis on its own (positive scales, so the winding
// survives) until the bounding box is exactly `target`.
void fitIntoBox(IndexedMesh& mesh, const Box& target);

// Volume enclosed by the triangles, positive when they wind counter-clockwise
// seen from outside.
double signedVolume(const IndexedMesh& mesh);

// Turns every triangle round when the enclosed volume is negative.
void windOutward(IndexedMesh& mesh);

// How many times the surface winds round `point`: 1 inside, 0 outside.
double windingNumber(const IndexedMesh& mesh, Vec3 point);

// Rounds the positions to single precision and gives each position the
// normalised area-weighted sum of the normals of the triangles around it,
// computed from the rounded positions.
BakedMesh bake(const IndexedMesh& mesh);

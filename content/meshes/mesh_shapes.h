// The five shapes before baking. Each returns positions and outward-wound
// triangles already fitted into the mesh's bounding box.
#pragma once

#include "indexed_mesh.h"

// Mesh 1: a knobbly organic blob round the origin, lopsided towards +x, +y, +z.
IndexedMesh makeKnobblyBlob();
// Mesh 2: a ring with a three-lobed cross-section that turns once along it.
IndexedMesh makeTwistedRing();
// Mesh 3: a fluted horn that curls round the origin, with pinched ends.
IndexedMesh makeCurledHorn();
// Mesh 4: the unit sphere, poles on y, 13 rings of 18 positions.
IndexedMesh makeUnitGlobe();
// Mesh 5: mesh 4's triangles over positions pushed in and out by bumps.
IndexedMesh makeBumpedGlobe();

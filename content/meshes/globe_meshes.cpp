// Meshes 4 and 5: a latitude-longitude sphere and the same triangles over
// displaced positions.
#include <cmath>
#include <numbers>

#include "mesh_shapes.h"
#include "mesh_targets.h"

namespace {

constexpr int kRings = 13;
constexpr int kSegments = 18;

// Bumps of mesh 5: direction, height (in units of the radius) and angular
// width (the bump falls to 1/e where 1 - cos(angle) = width).
struct Bump {
    Vec3 direction;
    double height;
    double width;
};
constexpr Bump kGlobeBumps[] = {
    {{1.0, 0.1, -0.2}, 0.189, 0.20},  {{-1.0, 0.2, 0.3}, 0.077, 0.25},
    {{0.2, 1.0, 0.1}, 0.092, 0.18},   {{0.1, -1.0, 0.2}, -0.044, 0.40},
    {{-0.2, 0.1, -1.0}, 0.191, 0.22}, {{0.3, -0.2, 1.0}, 0.011, 0.20},
    {{0.7, 0.6, -0.6}, 0.182, 0.10},  {{-0.6, -0.5, 0.7}, -0.047, 0.15},
};

int ringIndex(int ring, int segment) {
    return 1 + (ring - 1) * kSegments + segment % kSegments;
}

}  // namespace

IndexedMesh makeUnitGlobe() {
    IndexedMesh mesh;
    mesh.positions.push_back({0.0, 1.0, 0.0});
    for (int ring = 1; ring <= kRings; ++ring) {
        const double theta = ring * std::numbers::pi / (kRings + 1);
        for (int segment = 0; segment < kSegments; ++segment) {
            const double phi = segment * 2.0 * std::numbers::pi / kSegments;
            mesh.positions.push_back({std::sin(theta) * std::cos(phi), std::cos(theta),
                                      std::sin(theta) * std::sin(phi)});
        }
    }
    mesh.positions.push_back({0.0, -1.0, 0.0});
    const int south = static_cast<int>(mesh.positions.size()) - 1;
    for (int s = 0; s < kSegments; ++s) {
        mesh.triangles.push_back({0, ringIndex(1, s + 1), ringIndex(1, s)});
    }
    for (int ring = 1; ring < kRings; ++ring) {
        for (int s = 0; s < kSegments; ++s) {
            const int a = ringIndex(ring, s), b = ringIndex(ring, s + 1);
            const int c = ringIndex(ring + 1, s + 1), d = ringIndex(ring + 1, s);
            mesh.triangles.push_back({a, b, c});
            mesh.triangles.push_back({a, c, d});
        }
    }
    for (int s = 0; s < kSegments; ++s) {
        mesh.triangles.push_back({south, ringIndex(kRings, s), ringIndex(kRings, s + 1)});
    }
    windOutward(mesh);
    return mesh;
}

IndexedMesh makeBumpedGlobe() {
    IndexedMesh mesh = makeUnitGlobe();
    for (Vec3& p : mesh.positions) {
        double radius = 1.0;
        for (const Bump& bump : kGlobeBumps) {
            const double closeness = 1.0 - dot(p, normalized(bump.direction));
            radius += bump.height * std::exp(-closeness / bump.width);
        }
        p = p * radius;
    }
    fitIntoBox(mesh, kMeshTargets[4].box);
    return mesh;
}

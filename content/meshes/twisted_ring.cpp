// Mesh 2: a tube round a wavy ring, its three-lobed cross-section turning once
// as it goes round; 40 steps along the ring by 25 round the tube.
#include <cmath>
#include <numbers>

#include "mesh_shapes.h"
#include "mesh_targets.h"

namespace {

constexpr int kAlong = 40;
constexpr int kAround = 25;

constexpr double kRingRadius = 3.6;
constexpr double kRingWave = 0.45;  // radius swing, twice round the ring
constexpr double kRingLift = 0.9;   // height swing, three times round (a saddle)
constexpr double kTubeRadius = 1.15;
constexpr double kLobeDepth = 0.28;  // three lobes round the tube
constexpr double kTubeSwell = 0.18;  // the tube thickens and thins twice round
constexpr int kTwistTurns = 1;       // turns of the cross-section per lap
// The finished ring leans: degrees about x, then about z.
constexpr double kTiltX = 58.0;
constexpr double kTiltZ = 24.0;

Vec3 ringCentre(double u) {
    const double r = kRingRadius * (1.0 + kRingWave / kRingRadius * std::cos(2.0 * u));
    return {r * std::cos(u), kRingLift * std::sin(3.0 * u), r * std::sin(u)};
}

Vec3 rotateX(Vec3 p, double degrees) {
    const double a = degrees * std::numbers::pi / 180.0;
    return {p.x, p.y * std::cos(a) - p.z * std::sin(a), p.y * std::sin(a) + p.z * std::cos(a)};
}

Vec3 rotateZ(Vec3 p, double degrees) {
    const double a = degrees * std::numbers::pi / 180.0;
    return {p.x * std::cos(a) - p.y * std::sin(a), p.x * std::sin(a) + p.y * std::cos(a), p.z};
}

}  // namespace

IndexedMesh makeTwistedRing() {
    IndexedMesh mesh;
    const double step = 2.0 * std::numbers::pi / kAlong;
    for (int i = 0; i < kAlong; ++i) {
        const double u = i * step;
        const Vec3 centre = ringCentre(u);
        // Frame: along the ring, outwards in the ring's plane, and their cross.
        const Vec3 along = normalized(ringCentre(u + 1e-4) - ringCentre(u - 1e-4));
        const Vec3 flatOut{std::cos(u), 0.0, std::sin(u)};
        const Vec3 out = normalized(flatOut - along * dot(flatOut, along));
        const Vec3 side = cross(along, out);
        const double swell = 1.0 + kTubeSwell * std::sin(2.0 * u);
        for (int j = 0; j < kAround; ++j) {
            const double v = j * 2.0 * std::numbers::pi / kAround;
            const double lobed = v + kTwistTurns * u;
            const double r = kTubeRadius * swell * (1.0 + kLobeDepth * std::cos(3.0 * lobed));
            const Vec3 p = centre + (out * std::cos(v) + side * std::sin(v)) * r;
            mesh.positions.push_back(rotateZ(rotateX(p, kTiltX), kTiltZ));
        }
    }
    const auto index = [](int i, int j) { return (i % kAlong) * kAround + j % kAround; };
    for (int i = 0; i < kAlong; ++i) {
        for (int j = 0; j < kAround; ++j) {
            const int a = index(i, j), b = index(i, j + 1);
            const int c = index(i + 1, j + 1), d = index(i + 1, j);
            mesh.triangles.push_back({a, b, c});
            mesh.triangles.push_back({a, c, d});
        }
    }
    windOutward(mesh);
    fitIntoBox(mesh, kMeshTargets[1].box);
    return mesh;
}

// Mesh 3: a fluted horn curling round the z axis, 29 rings of 24 positions
// along its spine, each end closed by a small zig-zag cap.
#include <cmath>
#include <numbers>

#include "mesh_shapes.h"
#include "mesh_targets.h"

namespace {

constexpr int kRings = 29;
constexpr int kAround = 24;

constexpr double kCurlRadius = 8.5;   // spine's distance from the z axis
constexpr double kCurlStart = -40.0;  // degrees round the z axis at the blunt end
constexpr double kCurlSweep = 250.0;  // degrees the spine turns to the tip
constexpr double kRise = 14.0;        // the spine climbs this much along z
constexpr double kRiseBow = 3.0;      // and bows outwards midway
constexpr double kThickness = 4.2;    // largest radius of the tube
constexpr double kEndRadius = 0.35;   // radius of the two end rings
constexpr double kBulgeAt = 0.3;      // where along the spine the tube is fattest
constexpr double kFluteDepth = 0.2;   // four flutes round the tube
constexpr double kFluteTwist = 1.25;  // turns of the flutes from end to end

Vec3 spine(double s) {
    const double angle = (kCurlStart + kCurlSweep * s) * std::numbers::pi / 180.0;
    const double r = kCurlRadius + kRiseBow * std::sin(std::numbers::pi * s);
    return {r * std::cos(angle), r * std::sin(angle), kRise * s * s};
}

// Thin at both ends, fattest at kBulgeAt, falling away slowly towards the tip.
double thickness(double s) {
    const double warped =
        s <= kBulgeAt ? 0.5 * s / kBulgeAt : 0.5 + 0.5 * (s - kBulgeAt) / (1.0 - kBulgeAt);
    const double body = std::pow(std::sin(std::numbers::pi * warped), 0.7);
    return kEndRadius + (kThickness - kEndRadius) * body;
}

int ringIndex(int ring, int j) {
    return ring * kAround + (j % kAround);
}

// Closes a ring given in the winding order the cap must follow.
void zigZagCap(IndexedMesh& mesh, const int* ring) {
    int lo = 0, hi = kAround - 1;
    bool fromLow = true;
    while (hi - lo >= 2) {
        if (fromLow) {
            mesh.triangles.push_back({ring[lo], ring[lo + 1], ring[hi]});
            ++lo;
        } else {
            mesh.triangles.push_back({ring[lo], ring[hi - 1], ring[hi]});
            --hi;
        }
        fromLow = !fromLow;
    }
}

}  // namespace

IndexedMesh makeCurledHorn() {
    IndexedMesh mesh;
    const Vec3 up{0.0, 0.0, 1.0};
    for (int ring = 0; ring < kRings; ++ring) {
        const double s = static_cast<double>(ring) / (kRings - 1);
        const Vec3 centre = spine(s);
        const Vec3 along = normalized(spine(s + 1e-4) - spine(s - 1e-4));
        const Vec3 sideways = normalized(cross(along, up));
        const Vec3 lifted = cross(sideways, along);
        const double radius = thickness(s);
        for (int j = 0; j < kAround; ++j) {
            const double v = j * 2.0 * std::numbers::pi / kAround;
            const double flute =
                1.0 + kFluteDepth * std::cos(4.0 * (v + 2.0 * std::numbers::pi * kFluteTwist * s));
            const double r = radius * flute;
            mesh.positions.push_back(centre + (sideways * std::cos(v) + lifted * std::sin(v)) * r);
        }
    }
    for (int ring = 0; ring + 1 < kRings; ++ring) {
        for (int j = 0; j < kAround; ++j) {
            const int a = ringIndex(ring, j), b = ringIndex(ring, j + 1);
            const int c = ringIndex(ring + 1, j + 1), d = ringIndex(ring + 1, j);
            mesh.triangles.push_back({a, b, c});
            mesh.triangles.push_back({a, c, d});
        }
    }
    // The bands run along ring 0 forwards and along the last ring backwards, so
    // the first cap goes round backwards and the last one forwards.
    int first[kAround], last[kAround];
    for (int j = 0; j < kAround; ++j) {
        first[j] = ringIndex(0, kAround - 1 - j);
        last[j] = ringIndex(kRings - 1, j);
    }
    zigZagCap(mesh, first);
    zigZagCap(mesh, last);
    windOutward(mesh);
    fitIntoBox(mesh, kMeshTargets[2].box);
    return mesh;
}

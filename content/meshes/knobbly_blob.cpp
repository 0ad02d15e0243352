// Mesh 1: spiral points on the sphere, joined by their hull, pushed out to a
// lopsided egg round the origin and raised into knobs.
#include <cmath>

#include "mesh_shapes.h"
#include "mesh_targets.h"
#include "sphere_hull.h"

namespace {

// The egg: a sphere of radius kEggBase on the side away from its long axis,
// growing smoothly (a hyperbola in t, the cosine to the axis) beyond t0.
constexpr Vec3 kLongAxis{0.573, 0.658, 0.488};
constexpr double kEggBase = 21.564;
constexpr double kEggGrowth = 227.49;
constexpr double kEggBend = 1.1265;  // t0
constexpr double kEggSoftness = 0.4355;

// Knobs: direction, height (a fraction of the egg's radius) and angular width
// (1 - cos of the angle at which the knob has fallen to 1/e).
struct Knob {
    Vec3 direction;
    double height;
    double width;
};
// Knobs sit on the large side only: the small side stays smooth, keeping
// every position at least ~26 units from the origin.
constexpr Knob kKnobs[] = {
    {{0.29, 0.95, 0.12}, 0.42, 0.035},   {{-0.45, 0.85, -0.27}, 0.36, 0.065},
    {{0.51, 0.75, 0.42}, 0.19, 0.055},   {{-0.51, 0.65, -0.57}, 0.15, 0.045},
    {{0.46, 0.55, 0.70}, 0.23, 0.035},   {{0.27, 0.35, 0.90}, 0.42, 0.055},
    {{0.00, 0.15, 0.99}, 0.38, 0.035},   {{-0.29, -0.05, 0.96}, 0.32, 0.055},
    {{-0.54, -0.25, 0.81}, 0.15, 0.035}, {{0.90, 0.30, 0.20}, 0.38, 0.050},
    {{0.70, 0.70, -0.10}, 0.34, 0.040},
};

}  // namespace

IndexedMesh makeKnobblyBlob() {
    const MeshTarget& target = kMeshTargets[0];
    IndexedMesh mesh;
    const std::vector<Vec3> directions = fibonacciSphere(target.positions);
    mesh.triangles = convexHull(directions).value_or(std::vector<Triangle>{});
    const Vec3 axis = normalized(kLongAxis);
    for (const Vec3& d : directions) {
        const double t = dot(d, axis);
        const double beyond = t - kEggBend;
        const double radius =
            kEggBase +
            kEggGrowth * 0.5 * (beyond + std::sqrt(beyond * beyond + kEggSoftness * kEggSoftness));
        double knobs = 1.0;
        for (const Knob& knob : kKnobs) {
            knobs +=
                knob.height * std::exp(-(1.0 - dot(d, normalized(knob.direction))) / knob.width);
        }
        mesh.positions.push_back(d * (radius * knobs));
    }
    windOutward(mesh);
    fitIntoBox(mesh, target.box);
    return mesh;
}

// The shared steps of the mesh tool: box fitting, winding, baking with normals.
#include "indexed_mesh.h"

#include <algorithm>
#include <cmath>
#include <numbers>

Box boundingBox(const std::vector<Vec3>& points) {
    Box box{points.front(), points.front()};
    for (const Vec3& p : points) {
        box.min = {std::min(box.min.x, p.x), std::min(box.min.y, p.y), std::min(box.min.z, p.z)};
        box.max = {std::max(box.max.x, p.x), std::max(box.max.y, p.y), std::max(box.max.z, p.z)};
    }
    return box;
}

void fitIntoBox(IndexedMesh& mesh, const Box& target) {
    const Box box = boundingBox(mesh.positions);
    const auto axis = [](double lo, double hi, double targetLo, double targetHi, double& v) {
        v = targetLo + (v - lo) * ((targetHi - targetLo) / (hi - lo));
    };
    for (Vec3& p : mesh.positions) {
        axis(box.min.x, box.max.x, target.min.x, target.max.x, p.x);
        axis(box.min.y, box.max.y, target.min.y, target.max.y, p.y);
        axis(box.min.z, box.max.z, target.min.z, target.max.z, p.z);
    }
}

double signedVolume(const IndexedMesh& mesh) {
    double sixTimes = 0.0;
    for (const Triangle& t : mesh.triangles) {
        const Vec3& a = mesh.positions[t[0]];
        const Vec3& b = mesh.positions[t[1]];
        const Vec3& c = mesh.positions[t[2]];
        sixTimes += dot(a, cross(b, c));
    }
    return sixTimes / 6.0;
}

void windOutward(IndexedMesh& mesh) {
    if (signedVolume(mesh) >= 0.0) return;
    for (Triangle& t : mesh.triangles) std::swap(t[1], t[2]);
}

double windingNumber(const IndexedMesh& mesh, Vec3 point) {
    // Sum of the solid angles the triangles subtend (van Oosterom and Strackee).
    double total = 0.0;
    for (const Triangle& t : mesh.triangles) {
        const Vec3 a = mesh.positions[t[0]] - point;
        const Vec3 b = mesh.positions[t[1]] - point;
        const Vec3 c = mesh.positions[t[2]] - point;
        const double la = length(a), lb = length(b), lc = length(c);
        const double numerator = dot(a, cross(b, c));
        const double denominator = la * lb * lc + dot(a, b) * lc + dot(a, c) * lb + dot(b, c) * la;
        total += 2.0 * std::atan2(numerator, denominator);
    }
    return total / (4.0 * std::numbers::pi);
}

BakedMesh bake(const IndexedMesh& mesh) {
    BakedMesh out;
    out.triangles = mesh.triangles;
    std::vector<Vec3> rounded;
    for (const Vec3& p : mesh.positions) {
        const std::array<float, 3> f{static_cast<float>(p.x), static_cast<float>(p.y),
                                     static_cast<float>(p.z)};
        out.positions.push_back(f);
        rounded.push_back({f[0], f[1], f[2]});
    }
    std::vector<Vec3> sums(rounded.size());
    for (const Triangle& t : mesh.triangles) {
        // The cross product's length is twice the area: larger triangles weigh more.
        const Vec3 n = cross(rounded[t[1]] - rounded[t[0]], rounded[t[2]] - rounded[t[0]]);
        for (int corner : t) sums[corner] = sums[corner] + n;
    }
    for (const Vec3& s : sums) {
        const Vec3 n = normalized(s);
        out.normals.push_back(
            {static_cast<float>(n.x), static_cast<float>(n.y), static_cast<float>(n.z)});
    }
    return out;
}

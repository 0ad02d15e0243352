// Checks a baked mesh against its target, on the single-precision data the
// module will carry.
#include "mesh_self_check.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <utility>

namespace {

IndexedMesh widened(const BakedMesh& mesh) {
    IndexedMesh out;
    for (const auto& p : mesh.positions) out.positions.push_back({p[0], p[1], p[2]});
    out.triangles = mesh.triangles;
    return out;
}

}  // namespace

std::string checkMesh(const BakedMesh& mesh, const MeshTarget& target) {
    if (static_cast<int>(mesh.triangles.size()) != target.triangles) return "triangle count";
    if (static_cast<int>(mesh.positions.size()) != target.positions) return "position count";
    if (std::set(mesh.positions.begin(), mesh.positions.end()).size() != mesh.positions.size()) {
        return "two positions round to the same point";
    }
    std::set<std::pair<int, int>> edges;
    for (const Triangle& t : mesh.triangles) {
        if (t[0] == t[1] || t[1] == t[2] || t[0] == t[2]) return "a triangle repeats a corner";
        for (int k = 0; k < 3; ++k) {
            if (!edges.insert({t[k], t[(k + 1) % 3]}).second) return "an edge is run twice";
        }
    }
    for (const auto& [a, b] : edges) {
        if (!edges.contains({b, a})) return "an edge has only one triangle";
    }
    const int euler = static_cast<int>(mesh.positions.size()) - static_cast<int>(edges.size() / 2) +
                      static_cast<int>(mesh.triangles.size());
    if (euler != 2 - 2 * target.genus) return "wrong genus";
    const IndexedMesh wide = widened(mesh);
    if (signedVolume(wide) <= 0.0) return "wound inwards";
    const double winding = windingNumber(wide, {0.0, 0.0, 0.0});
    if ((winding > 0.5) != target.originInside) return "origin on the wrong side";
    if (target.maxDistance > 0.0) {
        for (const Vec3& p : wide.positions) {
            const double d = length(p);
            if (d < target.minDistance * 0.99 || d > target.maxDistance * 1.01) {
                return "a position outside the allowed distances";
            }
        }
    }
    return {};
}

std::string describeMesh(const BakedMesh& mesh) {
    const IndexedMesh wide = widened(mesh);
    const Box box = boundingBox(wide.positions);
    double nearest = 1e300, farthest = 0.0;
    for (const Vec3& p : wide.positions) {
        nearest = std::min(nearest, length(p));
        farthest = std::max(farthest, length(p));
    }
    int against = 0;
    for (const Triangle& t : mesh.triangles) {
        const Vec3 face = cross(wide.positions[t[1]] - wide.positions[t[0]],
                                wide.positions[t[2]] - wide.positions[t[0]]);
        Vec3 normals;
        for (int c : t) {
            const auto& n = mesh.normals[c];
            normals = normals + Vec3{n[0], n[1], n[2]};
        }
        if (dot(face, normals) <= 0.0) ++against;
    }
    char text[400];
    std::snprintf(text, sizeof text,
                  "%zu triangles, %zu positions, box %.2f..%.2f %.2f..%.2f %.2f..%.2f, "
                  "distance %.3f..%.3f, volume %.3f, %d triangles against their normals",
                  mesh.triangles.size(), mesh.positions.size(), box.min.x, box.max.x, box.min.y,
                  box.max.y, box.min.z, box.max.z, nearest, farthest, signedVolume(wide), against);
    return text;
}

// Fibonacci sphere points and an incremental convex hull: each new point
// removes the faces it sees and is joined to the horizon they leave.
#include "sphere_hull.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <set>
#include <utility>

std::vector<Vec3> fibonacciSphere(int count) {
    const double goldenAngle = std::numbers::pi * (3.0 - std::sqrt(5.0));
    std::vector<Vec3> points;
    for (int i = 0; i < count; ++i) {
        const double y = 1.0 - (2.0 * i + 1.0) / count;
        const double r = std::sqrt(1.0 - y * y);
        const double phi = goldenAngle * i;
        points.push_back({r * std::cos(phi), y, r * std::sin(phi)});
    }
    return points;
}

namespace {

struct Face {
    Triangle corners;
    Vec3 normal;
    double offset;
    bool alive;
};

Face makeFace(const std::vector<Vec3>& p, int a, int b, int c) {
    const Vec3 n = cross(p[b] - p[a], p[c] - p[a]);
    return {{a, b, c}, n, dot(n, p[a]), true};
}

// Far enough above a face's plane to count as seeing it; points on a sphere
// with a few hundred neighbours stand well clear of this.
constexpr double kVisibleEpsilon = 1e-12;

}  // namespace

std::optional<std::vector<Triangle>> convexHull(const std::vector<Vec3>& points) {
    const int n = static_cast<int>(points.size());
    if (n < 4) return std::nullopt;
    // A first tetrahedron from four points spread over the sphere.
    const int seed[4] = {0, n / 3, (2 * n) / 3, n - 1};
    std::vector<Face> faces;
    const int opposite[4][4] = {
        {seed[0], seed[1], seed[2], seed[3]},
        {seed[0], seed[1], seed[3], seed[2]},
        {seed[0], seed[2], seed[3], seed[1]},
        {seed[1], seed[2], seed[3], seed[0]},
    };
    for (const auto& f : opposite) {
        Face face = makeFace(points, f[0], f[1], f[2]);
        if (dot(face.normal, points[f[3]]) - face.offset > 0.0) {
            face = makeFace(points, f[0], f[2], f[1]);
        }
        faces.push_back(face);
    }
    for (int i = 0; i < n; ++i) {
        if (std::find(std::begin(seed), std::end(seed), i) != std::end(seed)) continue;
        std::set<std::pair<int, int>> edges;
        bool sawOne = false;
        for (Face& face : faces) {
            if (!face.alive) continue;
            if (dot(face.normal, points[i]) - face.offset <= kVisibleEpsilon) continue;
            face.alive = false;
            sawOne = true;
            for (int k = 0; k < 3; ++k) edges.insert({face.corners[k], face.corners[(k + 1) % 3]});
        }
        if (!sawOne) return std::nullopt;
        for (const auto& [a, b] : edges) {
            if (!edges.contains({b, a})) faces.push_back(makeFace(points, a, b, i));
        }
        std::erase_if(faces, [](const Face& f) { return !f.alive; });
    }
    // A fixed order: each triangle starts at its smallest index, then sorted.
    std::vector<Triangle> triangles;
    for (const Face& face : faces) {
        Triangle t = face.corners;
        std::rotate(t.begin(), std::min_element(t.begin(), t.end()), t.end());
        triangles.push_back(t);
    }
    std::sort(triangles.begin(), triangles.end());
    return triangles;
}

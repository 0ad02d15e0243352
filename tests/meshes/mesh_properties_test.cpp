// Checks the five mesh files the tool writes against what the module expects
// of them: counts, closed and consistently wound surfaces, genus, smooth unit
// normals, bounds, distances and which side of the surface the origin is on.
// Everything is measured here from the files, independently of the tool.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>
#include <set>
#include <utility>

#include "mesh_file.h"

namespace {

struct V {
    double x, y, z;
};
V operator-(V a, V b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
double dot(V a, V b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
V cross(V a, V b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double norm(V a) {
    return std::sqrt(dot(a, a));
}
V widen(const std::array<float, 3>& f) {
    return {f[0], f[1], f[2]};
}

struct Expected {
    int number;
    int triangles;
    int positions;
    std::array<double, 6> box;  // min x, max x, min y, max y, min z, max z
    int genus;
    bool originInside;
    double minDistance;  // 0: not constrained
    double maxDistance;
    int mostAgainstNormals;  // triangles allowed to wind against their normals
};

const Expected kMeshes[] = {
    {1, 564, 284, {-26.71, 60.29, -28.17, 68.66, -28.71, 64.32}, 0, true, 26.2, 80.9, 0},
    {2, 2000, 1000, {-4.56, 5.68, -4.31, 4.17, 0.32, 11.46}, 1, false, 0, 0, 20},
    {3, 1388, 696, {-11.81, 9.58, -9.65, 10.34, -5.04, 15.83}, 0, false, 0, 0, 70},
    {4, 468, 236, {-1, 1, -1, 1, -0.985, 0.985}, 0, true, 1.0, 1.0, 0},
    {5, 468, 236, {-1.06, 1.17, -0.96, 1.09, -1.17, 0.99}, 0, true, 0.95, 1.27, 0},
};

// Ray from `from` along `direction`, counting crossings (Moller-Trumbore).
int crossings(const MeshFile& mesh, V from, V direction) {
    int count = 0;
    for (std::size_t c = 0; c < mesh.corners.size(); c += 3) {
        const V a = widen(mesh.positions[mesh.cornerPositions[c]]);
        const V b = widen(mesh.positions[mesh.cornerPositions[c + 1]]);
        const V d = widen(mesh.positions[mesh.cornerPositions[c + 2]]);
        const V e1 = b - a, e2 = d - a;
        const V p = cross(direction, e2);
        const double det = dot(e1, p);
        if (std::fabs(det) < 1e-15) continue;
        const V s = from - a;
        const double u = dot(s, p) / det;
        if (u < 0.0 || u > 1.0) continue;
        const V q = cross(s, e1);
        const double v = dot(direction, q) / det;
        if (v < 0.0 || u + v > 1.0) continue;
        if (dot(e2, q) / det > 0.0) ++count;
    }
    return count;
}

class MeshFileTest : public ::testing::TestWithParam<Expected> {
  protected:
    void SetUp() override {
        mesh_ = readMeshFile(GetParam().number);
        ASSERT_FALSE(mesh_.corners.empty())
            << "cannot read mesh " << GetParam().number << " from " << meshFolder();
    }
    V position(std::size_t corner) const {
        return widen(mesh_.positions[mesh_.cornerPositions[corner]]);
    }
    MeshFile mesh_;
};

TEST_P(MeshFileTest, HasTheCountsOfItsTable) {
    EXPECT_EQ(mesh_.corners.size(), 3u * GetParam().triangles);
    EXPECT_EQ(mesh_.positions.size(), static_cast<std::size_t>(GetParam().positions));
}

TEST_P(MeshFileTest, IsClosedConsistentlyWoundAndOfItsGenus) {
    std::set<std::pair<int, int>> edges;
    for (std::size_t c = 0; c < mesh_.corners.size(); c += 3) {
        const int t[3] = {mesh_.cornerPositions[c], mesh_.cornerPositions[c + 1],
                          mesh_.cornerPositions[c + 2]};
        ASSERT_TRUE(t[0] != t[1] && t[1] != t[2] && t[0] != t[2]) << "triangle " << c / 3;
        for (int k = 0; k < 3; ++k) {
            // A directed edge used twice means two triangles run along it the same way.
            ASSERT_TRUE(edges.insert({t[k], t[(k + 1) % 3]}).second) << "triangle " << c / 3;
        }
    }
    for (const auto& [a, b] : edges) ASSERT_TRUE(edges.contains({b, a})) << a << "-" << b;
    const long euler = static_cast<long>(mesh_.positions.size()) -
                       static_cast<long>(edges.size() / 2) +
                       static_cast<long>(mesh_.corners.size() / 3);
    EXPECT_EQ(euler, 2 - 2 * GetParam().genus);
}

TEST_P(MeshFileTest, WindsOutwardsCounterClockwise) {
    double sixVolume = 0.0;
    int against = 0;
    for (std::size_t c = 0; c < mesh_.corners.size(); c += 3) {
        const V a = position(c), b = position(c + 1), d = position(c + 2);
        sixVolume += dot(a, cross(b, d));
        const V face = cross(b - a, d - a);
        V normals{0, 0, 0};
        for (std::size_t k = c; k < c + 3; ++k) {
            normals = {normals.x + mesh_.corners[k][0], normals.y + mesh_.corners[k][1],
                       normals.z + mesh_.corners[k][2]};
        }
        if (dot(face, normals) <= 0.0) ++against;
    }
    EXPECT_GT(sixVolume, 0.0);
    EXPECT_LE(against, GetParam().mostAgainstNormals);
}

TEST_P(MeshFileTest, CarriesOneUnitNormalPerPosition) {
    std::set<std::array<float, 3>> distinctNormals;
    for (std::size_t c = 0; c < mesh_.corners.size(); ++c) {
        const auto& corner = mesh_.corners[c];
        const std::array<float, 3> n{corner[0], corner[1], corner[2]};
        EXPECT_EQ(n, mesh_.normals[mesh_.cornerPositions[c]]) << "corner " << c;
        EXPECT_NEAR(norm(widen(n)), 1.0, 1e-6) << "corner " << c;
        distinctNormals.insert(n);
    }
    EXPECT_EQ(distinctNormals.size(), mesh_.positions.size());
}

TEST_P(MeshFileTest, FitsItsBoundingBox) {
    std::array<double, 6> box{1e300, -1e300, 1e300, -1e300, 1e300, -1e300};
    for (const auto& p : mesh_.positions) {
        for (int axis = 0; axis < 3; ++axis) {
            box[2 * axis] = std::min<double>(box[2 * axis], p[axis]);
            box[2 * axis + 1] = std::max<double>(box[2 * axis + 1], p[axis]);
        }
    }
    const auto& want = GetParam().box;
    for (int axis = 0; axis < 3; ++axis) {
        const double tolerance = 0.03 * (want[2 * axis + 1] - want[2 * axis]);
        EXPECT_NEAR(box[2 * axis], want[2 * axis], tolerance) << "axis " << axis;
        EXPECT_NEAR(box[2 * axis + 1], want[2 * axis + 1], tolerance) << "axis " << axis;
    }
}

TEST_P(MeshFileTest, HasTheOriginOnItsSide) {
    // Two unrelated rays must agree, so a ray grazing an edge cannot mislead.
    const int first = crossings(mesh_, {0, 0, 0}, {0.5377, 0.3181, 0.7809});
    const int second = crossings(mesh_, {0, 0, 0}, {-0.2711, -0.8563, 0.4397});
    EXPECT_EQ(first % 2, second % 2);
    EXPECT_EQ(first % 2 == 1, GetParam().originInside);
}

INSTANTIATE_TEST_SUITE_P(AllFive, MeshFileTest, ::testing::ValuesIn(kMeshes), [](const auto& info) {
    return "Mesh" + std::to_string(info.param.number);
});

TEST(MeshFileDistances, StayWithinTheStatedRangeFromTheOrigin) {
    for (const Expected& want : kMeshes) {
        if (want.maxDistance == 0.0) continue;  // meshes 2 and 3 state none
        const MeshFile mesh = readMeshFile(want.number);
        ASSERT_FALSE(mesh.positions.empty()) << "mesh " << want.number;
        double nearest = 1e300, farthest = 0.0;
        for (const auto& p : mesh.positions) {
            nearest = std::min(nearest, norm(widen(p)));
            farthest = std::max(farthest, norm(widen(p)));
        }
        const double slack = want.minDistance == want.maxDistance ? 1e-6 : 0.01 * want.maxDistance;
        EXPECT_NEAR(nearest, want.minDistance, slack) << "mesh " << want.number;
        EXPECT_NEAR(farthest, want.maxDistance, slack) << "mesh " << want.number;
    }
}

TEST(UnitGlobeFile, IsThirteenRingsOfEighteenBetweenPolesOnY) {
    const MeshFile globe = readMeshFile(4);
    ASSERT_EQ(globe.positions.size(), 236u);
    std::map<float, int> perHeight;
    for (const auto& p : globe.positions) ++perHeight[p[1]];
    ASSERT_EQ(perHeight.size(), 15u);
    EXPECT_EQ(perHeight.begin()->second, 1);
    EXPECT_EQ(perHeight.rbegin()->second, 1);
    for (auto it = std::next(perHeight.begin()); it != std::prev(perHeight.end()); ++it) {
        EXPECT_EQ(it->second, 18) << "ring at y = " << it->first;
    }
    // Each pole is joined to 18 neighbours.
    for (const std::array<float, 3> pole : {std::array<float, 3>{0, 1, 0}, {0, -1, 0}}) {
        std::set<int> neighbours;
        int poleIndex = -1;
        for (std::size_t i = 0; i < globe.positions.size(); ++i) {
            if (globe.positions[i] == pole) poleIndex = static_cast<int>(i);
        }
        ASSERT_GE(poleIndex, 0);
        for (std::size_t c = 0; c < globe.corners.size(); c += 3) {
            for (int k = 0; k < 3; ++k) {
                if (globe.cornerPositions[c + k] != poleIndex) continue;
                neighbours.insert(globe.cornerPositions[c + (k + 1) % 3]);
                neighbours.insert(globe.cornerPositions[c + (k + 2) % 3]);
            }
        }
        EXPECT_EQ(neighbours.size(), 18u);
    }
}

TEST(UnitGlobeFile, HasNormalsCloseToButNotEqualToItsPositions) {
    const MeshFile globe = readMeshFile(4);
    ASSERT_FALSE(globe.positions.empty());
    int differing = 0;
    for (std::size_t i = 0; i < globe.positions.size(); ++i) {
        const double apart = norm(widen(globe.normals[i]) - widen(globe.positions[i]));
        EXPECT_LT(apart, 0.05) << "position " << i;
        if (apart > 1e-6) ++differing;
    }
    EXPECT_GT(differing, 200);
}

TEST(BumpedGlobeFile, SharesTheUnitGlobesTriangles) {
    const MeshFile globe = readMeshFile(4);
    const MeshFile bumped = readMeshFile(5);
    ASSERT_FALSE(globe.corners.empty());
    EXPECT_EQ(bumped.cornerPositions, globe.cornerPositions);
    // Same directions from the origin, other distances.
    int moved = 0;
    for (std::size_t i = 0; i < globe.positions.size(); ++i) {
        const V g = widen(globe.positions[i]), b = widen(bumped.positions[i]);
        if (std::fabs(norm(b) - 1.0) > 0.01) ++moved;
        EXPECT_GT(dot(g, b) / norm(b), 0.9) << "position " << i;
    }
    EXPECT_GT(moved, 100);
}

}  // namespace

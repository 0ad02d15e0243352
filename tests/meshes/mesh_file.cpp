// Corner files are read byte by byte, so the test does not depend on the
// host's byte order.
#include "mesh_file.h"

#include <bit>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>

std::string meshFolder() {
    return SORVANEL_MESH_FOLDER;
}

MeshFile readMeshFile(int meshNumber) {
    MeshFile mesh;
    std::ifstream in(meshFolder() + "/mesh" + std::to_string(meshNumber) + ".bin",
                     std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                           std::istreambuf_iterator<char>());
    constexpr std::size_t kTriangleBytes = 3 * 6 * 4;
    if (bytes.empty() || bytes.size() % kTriangleBytes != 0) return mesh;
    for (std::size_t at = 0; at < bytes.size(); at += 24) {
        std::array<float, 6> corner;
        for (int k = 0; k < 6; ++k) {
            const unsigned char* b = &bytes[at + 4 * k];
            const std::uint32_t bits =
                b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
            corner[k] = std::bit_cast<float>(bits);
        }
        mesh.corners.push_back(corner);
    }
    std::map<std::array<float, 3>, int> index;
    for (const auto& c : mesh.corners) {
        const std::array<float, 3> p{c[3], c[4], c[5]};
        auto [it, added] = index.try_emplace(p, static_cast<int>(mesh.positions.size()));
        if (added) {
            mesh.positions.push_back(p);
            mesh.normals.push_back({c[0], c[1], c[2]});
        }
        mesh.cornerPositions.push_back(it->second);
    }
    return mesh;
}

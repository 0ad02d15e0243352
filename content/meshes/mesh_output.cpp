// The mesh tool's two outputs: corner files and the module's data source.
#include "mesh_output.h"

#include <bit>
#include <cstdint>
#include <cstdio>
#include <fstream>

namespace {

void putFloat(std::ofstream& out, float value) {
    const auto bits = std::bit_cast<std::uint32_t>(value);
    const char bytes[4] = {static_cast<char>(bits & 0xFF), static_cast<char>((bits >> 8) & 0xFF),
                           static_cast<char>((bits >> 16) & 0xFF),
                           static_cast<char>((bits >> 24) & 0xFF)};
    out.write(bytes, 4);
}

std::string literal(float value) {
    char text[40];
    std::snprintf(text, sizeof text, "%af", static_cast<double>(value));
    return text;
}

}  // namespace

bool writeCornerFile(const BakedMesh& mesh, const std::string& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const Triangle& t : mesh.triangles) {
        for (int corner : t) {
            for (float v : mesh.normals[corner]) putFloat(out, v);
            for (float v : mesh.positions[corner]) putFloat(out, v);
        }
    }
    out.close();
    return static_cast<bool>(out);
}

bool writeMeshSource(const std::vector<BakedMesh>& meshes, const std::string& path) {
    std::ofstream out(path, std::ios::trunc);
    out << "// Made by the mesh tool (content/meshes) at build time; not edited by hand.\n"
           "#include \"meshes/baked_mesh_data.h\"\n\nnamespace {\n";
    for (std::size_t m = 0; m < meshes.size(); ++m) {
        const BakedMesh& mesh = meshes[m];
        out << "\nconst float kVertices" << m + 1 << "[] = {\n";
        for (std::size_t v = 0; v < mesh.positions.size(); ++v) {
            const auto& n = mesh.normals[v];
            const auto& p = mesh.positions[v];
            out << "    " << literal(n[0]) << ", " << literal(n[1]) << ", " << literal(n[2]) << ", "
                << literal(p[0]) << ", " << literal(p[1]) << ", " << literal(p[2]) << ",\n";
        }
        out << "};\n\nconst std::uint16_t kCorners" << m + 1 << "[] = {\n";
        for (const Triangle& t : mesh.triangles) {
            out << "    " << t[0] << ", " << t[1] << ", " << t[2] << ",\n";
        }
        out << "};\n";
    }
    out << "\n}  // namespace\n\nconst BakedMeshData bakedMeshData[kBakedMeshCount] = {\n";
    for (std::size_t m = 0; m < meshes.size(); ++m) {
        out << "    {kVertices" << m + 1 << ", " << meshes[m].positions.size() << ", kCorners"
            << m + 1 << ", " << meshes[m].triangles.size() * 3 << "},\n";
    }
    out << "};\n";
    out.close();
    return static_cast<bool>(out);
}

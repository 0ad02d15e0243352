// The mesh tool: builds the five baked meshes, checks each against its target
// and writes meshN.bin files and the module's data source.
// Usage: make_meshes <corner-file folder> <source path> [--report]
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "mesh_output.h"
#include "mesh_self_check.h"
#include "mesh_shapes.h"
#include "mesh_targets.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <corner-file folder> <source path> [--report]\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    const bool report = argc > 3 && std::strcmp(argv[3], "--report") == 0;
    std::filesystem::create_directories(folder);

    const IndexedMesh shapes[] = {makeKnobblyBlob(), makeTwistedRing(), makeCurledHorn(),
                                  makeUnitGlobe(), makeBumpedGlobe()};
    std::vector<BakedMesh> meshes;
    int failures = 0;
    for (int m = 0; m < 5; ++m) {
        meshes.push_back(bake(shapes[m]));
        if (report) std::printf("mesh %d: %s\n", m + 1, describeMesh(meshes.back()).c_str());
        const std::string problem = checkMesh(meshes.back(), kMeshTargets[m]);
        if (!problem.empty()) {
            std::fprintf(stderr, "mesh %d: %s\n", m + 1, problem.c_str());
            ++failures;
            continue;
        }
        const std::string path = folder + "/mesh" + std::to_string(m + 1) + ".bin";
        if (!writeCornerFile(meshes.back(), path)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            ++failures;
        }
    }
    if (failures != 0) return 1;
    if (!writeMeshSource(meshes, argv[2])) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}

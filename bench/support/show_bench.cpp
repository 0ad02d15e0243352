// Implements the shared benchmark scaffolding over the module's asset layer
// and the show host's GL set-up.
#include "show_bench.h"

#include <stdlib.h>
#include <time.h>

#include <string>
#include <system_error>

#include "assets/archive.h"
#include "assets/texture_slot.h"
#include "host/picture_area.h"
#include "host/picture_frame.h"
#include "host/show_host.h"

namespace fs = std::filesystem;

double msSince(BenchClock::time_point start) {
    return std::chrono::duration<double, std::milli>(BenchClock::now() - start).count();
}

double processCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

BenchPictures::BenchPictures(TextureSlot* slots) {
    std::string pattern = (fs::temp_directory_path() / "sorvanel-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return;
    root = pattern;
    std::error_code error;
    fs::copy_file(SORVANEL_BENCH_ARCHIVE, root / kArchiveFileName, error);
    const fs::path previous = fs::current_path();
    fs::current_path(root);
    const std::string dir = root.string() + "/";
    unpackArchive(dir);
    for (int slot = 0; slot < kTextureSlotCount; ++slot) {
        loaded += slots[slot].load((dir + tempFileNameForSlot(slot)).c_str(), 0, 1);
    }
    deleteTempFiles(dir);
    fs::current_path(previous);
}

BenchPictures::~BenchPictures() {
    std::error_code error;
    if (!root.empty()) fs::remove_all(root, error);
}

std::vector<BenchScene> heaviestMeshScenes() {
    std::vector<BenchScene> scenes{{8, 45.0}};
    const double circleBounds[] = {955, 960, 969,  972,  979,  981,  983,  989,
                                   992, 995, 1001, 1004, 1007, 1017, 1020, 1025};
    for (int e = 0; e < 15; ++e) {
        scenes.push_back({52 + e, (circleBounds[e] + circleBounds[e + 1]) / 2});
    }
    const double swarmBounds[] = {1355, 1360, 1380, 1385};
    for (int e = 0; e < 3; ++e) {
        scenes.push_back({82 + e, (swarmBounds[e] + swarmBounds[e + 1]) / 2});
    }
    return scenes;
}

FrustumParams applyHostState(int width, int height) {
    const PictureRect whole{0, 0, width, height};
    double aspect = 0.0;
    const FrustumParams f = defaultFrustumFor(whole, PictureShape::Composed, 1, 1, aspect);
    preparePictureArea(whole, width, height);
    applyFrustumAndFixedState(f);
    return f;
}
